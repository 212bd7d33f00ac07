#include "SourceApp/application/update/remote/BootloaderMap.h"

namespace tdx {

BootloaderMap_Idle BootloaderMap::Idle("BootloaderMap::Idle", 0);
BootloaderMap_Started BootloaderMap::Started("BootloaderMap::Started", 1);
BootloaderMap_DeviceIdentified BootloaderMap::DeviceIdentified("BootloaderMap::DeviceIdentified", 2);
BootloaderMap_DeviceReconnectUpgrade
    BootloaderMap::DeviceReconnectUpgrade("BootloaderMap::DeviceReconnectUpgrade", 3);
BootloaderMap_AboutToUpgrade BootloaderMap::AboutToUpgrade("BootloaderMap::AboutToUpgrade", 4);
BootloaderMap_Downloading BootloaderMap::Downloading("BootloaderMap::Downloading", 5);
BootloaderMap_Upgraded BootloaderMap::Upgraded("BootloaderMap::Upgraded", 6);
BootloaderMap_Timeout BootloaderMap::Timeout("BootloaderMap::Timeout", 7);
BootloaderMap_Fault BootloaderMap::Fault("BootloaderMap::Fault", 8);
BootloaderMap_StartingApplication BootloaderMap::StartingApplication("BootloaderMap::StartingApplication", 9);

namespace {

void runApplication(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::StartingApplication);
}

// The application answers: the device runs a program again, and the service is done with it.
void applicationAnswered(BootloaderServiceContext& context) {
    BootloaderService& s = context.getOwner();
    context.transition(BootloaderMap::Idle, [&] {
        s.raise(BCE_FINISHED);
        s.stopTimer();
        s.reset();
    });
}

} // namespace

void BootloaderMap_Default::fault(BootloaderServiceContext& context, const bl_event_arg_fault* fault) {
    context.transition(BootloaderMap::Fault, [&] { context.getOwner().setFault(fault); });
}

void BootloaderMap_Default::timeout(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Timeout);
}

void BootloaderMap_Idle::Entry(BootloaderServiceContext& context) {
    context.getOwner().reset();
}

void BootloaderMap_Idle::start(BootloaderServiceContext& context) {
    BootloaderService& s = context.getOwner();
    context.transition(BootloaderMap::Started, [&] {
        s.clientInitialize();
        s.clientConnect();
        s.setTimer(BSTM_CONNECT);
    });
}

void BootloaderMap_Started::Exit(BootloaderServiceContext& context) {
    context.getOwner().clientDisconnect();
    context.getOwner().stopTimer();
}

void BootloaderMap_Started::connected_app(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::DeviceIdentified,
                       [&] { context.getOwner().setDeviceState(BSDS_APPLICATION); });
}

void BootloaderMap_Started::connected_bl(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::DeviceIdentified,
                       [&] { context.getOwner().setDeviceState(BSDS_BOOTLOADER); });
}

void BootloaderMap_DeviceIdentified::Entry(BootloaderServiceContext& context) {
    context.getOwner().raise(BCE_IDENTIFIED);
}

void BootloaderMap_DeviceIdentified::run_app(BootloaderServiceContext& context) {
    runApplication(context);
}

void BootloaderMap_DeviceIdentified::upgrade(BootloaderServiceContext& context, uint32_t fileId) {
    if (!BootloaderService::isValidFileId(fileId)) {
        Default(context);
        return;
    }
    context.transition(BootloaderMap::DeviceReconnectUpgrade, [&] { context.getOwner().setFileId(fileId); });
}

void BootloaderMap_DeviceReconnectUpgrade::Entry(BootloaderServiceContext& context) {
    context.getOwner().setTimer(BSTM_CONNECT);
    context.getOwner().clientConnect();
}

void BootloaderMap_DeviceReconnectUpgrade::connected_app(BootloaderServiceContext& context) {
    // The application runs: it is asked to restart into its bootloader, which announces its restart time.
    context.internal([&] {
        context.getOwner().resetTimer();
        context.getOwner().startUpgrade();
    });
}

void BootloaderMap_DeviceReconnectUpgrade::connected_bl(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::AboutToUpgrade, [&] {
        context.getOwner().resetTimer();
        context.getOwner().startUpgrade();
    });
}

void BootloaderMap_DeviceReconnectUpgrade::restarting_into_bl(BootloaderServiceContext& context,
                                                              uint32_t seconds) {
    BootloaderService& s = context.getOwner();
    context.transition(BootloaderMap::AboutToUpgrade, [&] {
        s.setEstimatedRestartTime(seconds);
        s.setTimer(BSTM_RESTART);
        s.raise(BCE_RESTARTING);
    });
}

void BootloaderMap_DeviceReconnectUpgrade::timeout(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Timeout, [&] { context.getOwner().clientDisconnect(); });
}

void BootloaderMap_AboutToUpgrade::download(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Downloading);
}

void BootloaderMap_Downloading::Entry(BootloaderServiceContext& context) {
    context.getOwner().setTimer(BSTM_DOWNLOAD);
    context.getOwner().resetTimer();
    context.getOwner().raise(BCE_DOWNLOAD);
}

void BootloaderMap_Downloading::download(BootloaderServiceContext& context) {
    context.internal([&] {
        context.getOwner().resetTimer();
        context.getOwner().raise(BCE_DOWNLOAD);
    });
}

void BootloaderMap_Downloading::upgraded(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Upgraded);
}

void BootloaderMap_Upgraded::Entry(BootloaderServiceContext& context) {
    context.getOwner().raise(BCE_UPGRADED);
    context.getOwner().setTimer(BSTM_APPLICATION);
    context.getOwner().clientRunApplication();
}

void BootloaderMap_Upgraded::connected_app(BootloaderServiceContext& context) {
    applicationAnswered(context);
}

void BootloaderMap_Timeout::Entry(BootloaderServiceContext& context) {
    context.getOwner().stopTimer();
    context.getOwner().holdNetwork(false);
    context.getOwner().raise(BCE_TIMEOUT);
}

void BootloaderMap_Timeout::finish(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Idle, [&] { context.getOwner().reset(); });
}

void BootloaderMap_Fault::Entry(BootloaderServiceContext& context) {
    context.getOwner().stopTimer();
    context.getOwner().holdNetwork(false);
    context.getOwner().raise(BCE_FAULT);
}

void BootloaderMap_Fault::finish(BootloaderServiceContext& context) {
    context.transition(BootloaderMap::Idle, [&] { context.getOwner().reset(); });
}

void BootloaderMap_Timeout::run_app(BootloaderServiceContext& context) {
    runApplication(context);
}

void BootloaderMap_Fault::run_app(BootloaderServiceContext& context) {
    runApplication(context);
}

void BootloaderMap_StartingApplication::Entry(BootloaderServiceContext& context) {
    // The device may still be restarting from the request that failed: its answers go first again.
    context.getOwner().holdNetwork(true);
    context.getOwner().setTimer(BSTM_CONNECT);
    context.getOwner().clientConnect();
}

void BootloaderMap_StartingApplication::connected_app(BootloaderServiceContext& context) {
    applicationAnswered(context);
}

void BootloaderMap_StartingApplication::connected_bl(BootloaderServiceContext& context) {
    context.internal([&] {
        context.getOwner().setTimer(BSTM_APPLICATION);
        context.getOwner().clientRunApplication();
    });
}

} // namespace tdx
