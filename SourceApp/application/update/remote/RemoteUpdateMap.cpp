#include "SourceApp/application/update/remote/RemoteUpdateMap.h"

#include <optional>

namespace tdx {

using Context = RemoteUpdateServiceContext;

RemoteUpdateMap_Idle RemoteUpdateMap::Idle("RemoteUpdateMap::Idle", 0);
RemoteUpdateMap_WaitingForBootloader
    RemoteUpdateMap::WaitingForBootloader("RemoteUpdateMap::WaitingForBootloader", 1);
RemoteUpdateMap_StartManual RemoteUpdateMap::StartManual("RemoteUpdateMap::StartManual", 2);
RemoteUpdateMap_DeviceIdentified RemoteUpdateMap::DeviceIdentified("RemoteUpdateMap::DeviceIdentified", 3);
RemoteUpdateMap_SearchPackages RemoteUpdateMap::SearchPackages("RemoteUpdateMap::SearchPackages", 4);
RemoteUpdateMap_SearchFinished RemoteUpdateMap::SearchFinished("RemoteUpdateMap::SearchFinished", 5);
RemoteUpdateMap_WaitingForDownload RemoteUpdateMap::WaitingForDownload("RemoteUpdateMap::WaitingForDownload",
                                                                       6);
RemoteUpdateMap_Downloading RemoteUpdateMap::Downloading("RemoteUpdateMap::Downloading", 7);
RemoteUpdateMap_WaitingForBoot RemoteUpdateMap::WaitingForBoot("RemoteUpdateMap::WaitingForBoot", 8);
RemoteUpdateMap_Summary RemoteUpdateMap::Summary("RemoteUpdateMap::Summary", 9);
RemoteUpdateMap_Terminate RemoteUpdateMap::Terminate("RemoteUpdateMap::Terminate", 10);
RemoteUpdateMap_CardRemoved RemoteUpdateMap::CardRemoved("RemoteUpdateMap::CardRemoved", 11);

namespace {

// The transition that ends with a result on the done screen.
void summarise(Context& context, remote_update_result result) {
    context.transition(RemoteUpdateMap::Summary, [&] { context.getOwner().setResult(result); });
}

// A failure after which the device may have been left in its bootloader, or be back in its program: it is
// asked to run its program, and the result shows once it does or does not; once it does, the result becomes
// `onceRunning` when given.
void recover(Context& context, remote_update_result result,
             std::optional<remote_update_result> onceRunning = std::nullopt) {
    context.transition(RemoteUpdateMap::WaitingForBoot, [&] {
        context.getOwner().setResult(result);
        context.getOwner().setRecovering(true, onceRunning);
    });
}

// A failure after data was written: the device's program is gone until an update succeeds.
void strand(Context& context, remote_update_result result) {
    context.transition(RemoteUpdateMap::Summary, [&] {
        context.getOwner().setResult(result);
        context.getOwner().noteNotRunning();
    });
}

void cancelWhenAllowed(Context& context) {
    if (context.getOwner().isCancellable()) {
        summarise(context, RUR_CANCELLED);
    }
}

} // namespace

void RemoteUpdateMap_Idle::start(Context& context, remote_update_start_mode mode) {
    if (mode == RUSM_MANUAL) {
        context.transition(RemoteUpdateMap::StartManual);
    } else if (mode == RUSM_WAIT_BOOTLOADER) {
        context.transition(RemoteUpdateMap::WaitingForBootloader);
    }
}

void RemoteUpdateMap_WaitingForBootloader::Entry(Context& context) {
    context.getOwner().getBootloaderService().start();
}

void RemoteUpdateMap_WaitingForBootloader::connected(Context& context, remote_update_device_connected value) {
    if (value == RUDC_BOOTLOADER) {
        context.transition(RemoteUpdateMap::DeviceIdentified,
                           [&] { context.getOwner().setCancellable(false); });
    } else if (value == RUDC_APPLICATION) {
        context.transition(RemoteUpdateMap::Terminate);
    }
}

void RemoteUpdateMap_WaitingForBootloader::deviceTimeout(Context& context) {
    context.transition(RemoteUpdateMap::Terminate);
}

// Nothing was shown yet; a device that cannot be asked is left alone, as one that does not answer.
void RemoteUpdateMap_WaitingForBootloader::fault(Context& context) {
    context.transition(RemoteUpdateMap::Terminate);
}

void RemoteUpdateMap_StartManual::Entry(Context& context) {
    context.getOwner().getBootloaderService().start();
    context.getOwner().raise(UE_DEVICE_UNIDENTIFIED);
}

void RemoteUpdateMap_StartManual::connected(Context& context, remote_update_device_connected value) {
    if (value == RUDC_BOOTLOADER || value == RUDC_APPLICATION) {
        context.transition(RemoteUpdateMap::DeviceIdentified,
                           [&] { context.getOwner().setCancellable(true); });
    }
}

void RemoteUpdateMap_StartManual::cancel(Context& context) {
    summarise(context, RUR_CANCELLED);
}

void RemoteUpdateMap_StartManual::deviceTimeout(Context& context) {
    summarise(context, RUR_QUERY_TIMEOUT);
}

// The bootloader service's fault stops its supervision: without a result here the wait screen would stay.
void RemoteUpdateMap_StartManual::fault(Context& context) {
    summarise(context, RUR_UPDATE_ERROR);
}

void RemoteUpdateMap_DeviceIdentified::Entry(Context& context) {
    context.getOwner().raise(UE_DEVICE_IDENTIFIED);
}

void RemoteUpdateMap_DeviceIdentified::search(Context& context) {
    context.transition(RemoteUpdateMap::SearchPackages);
}

void RemoteUpdateMap_DeviceIdentified::cancel(Context& context) {
    cancelWhenAllowed(context);
}

void RemoteUpdateMap_SearchPackages::Entry(Context& context) {
    context.getOwner().startPackageSearch();
    context.getOwner().raise(UE_SEARCHING);
}

void RemoteUpdateMap_SearchPackages::searchFinished(Context& context) {
    context.transition(RemoteUpdateMap::SearchFinished);
}

void RemoteUpdateMap_SearchPackages::cardRemoved(Context& context) {
    context.transition(RemoteUpdateMap::CardRemoved);
}

void RemoteUpdateMap_SearchFinished::Entry(Context& context) {
    context.getOwner().processPackages();
    context.getOwner().raise(UE_SEARCH_FINISHED);
}

// The package is checked before the device is asked to restart into its bootloader for it: the card may have
// changed since the list was made, and a device restarted for a package that cannot be read or does not fit
// it would sit in its bootloader with nothing to receive.
void RemoteUpdateMap_SearchFinished::confirmUpgrade(Context& context, uint32_t index) {
    if (!context.getOwner().isPackageUsable(index)) {
        recover(context, RUR_PACKAGE_UNUSABLE);
        return;
    }
    context.transition(RemoteUpdateMap::WaitingForDownload,
                       [&] { context.getOwner().getBootloaderService().upgrade(index); });
}

void RemoteUpdateMap_SearchFinished::search(Context& context) {
    context.transition(RemoteUpdateMap::SearchPackages, [&] { context.getOwner().resetSearch(); });
}

void RemoteUpdateMap_SearchFinished::cardRemoved(Context& context) {
    context.transition(RemoteUpdateMap::CardRemoved);
}

void RemoteUpdateMap_SearchFinished::cancel(Context& context) {
    cancelWhenAllowed(context);
}

void RemoteUpdateMap_CardRemoved::Entry(Context& context) {
    context.getOwner().resetSearch();
    context.getOwner().raise(UE_CARD_REMOVED);
}

void RemoteUpdateMap_CardRemoved::cardInserted(Context& context) {
    context.transition(RemoteUpdateMap::SearchPackages);
}

void RemoteUpdateMap_CardRemoved::cancel(Context& context) {
    cancelWhenAllowed(context);
}

void RemoteUpdateMap_WaitingForDownload::Entry(Context& context) {
    context.getOwner().raise(UE_WAIT);
}

void RemoteUpdateMap_WaitingForDownload::download(Context& context) {
    context.transition(RemoteUpdateMap::Downloading);
}

void RemoteUpdateMap_WaitingForDownload::deviceRestarting(Context& context) {
    context.transition(RemoteUpdateMap::WaitingForDownload);
}

void RemoteUpdateMap_WaitingForDownload::deviceTimeout(Context& context) {
    recover(context, RUR_TIMEOUT);
}

void RemoteUpdateMap_WaitingForDownload::fault(Context& context) {
    recover(context, RUR_UPDATE_ERROR);
}

void RemoteUpdateMap_Downloading::Entry(Context& context) {
    context.getOwner().raise(UE_PROGRESS);
}

// The progress figures were updated before the event: the progress screen reads them.
void RemoteUpdateMap_Downloading::download(Context& context) {
    context.internal([] {});
}

// Success is only what the updated program says: the result waits for its answer.
void RemoteUpdateMap_Downloading::upgraded(Context& context) {
    context.transition(RemoteUpdateMap::WaitingForBoot);
}

// A device lost during the download may be back running its previous program (switched off and on, its
// bootloader keeping the old program until a whole new one is in), and a chunk refused may be one that the
// program answered after such a restart: the device is asked before the result says it does not run one.
void RemoteUpdateMap_Downloading::deviceTimeout(Context& context) {
    recover(context, RUR_UPDATE_TIMEOUT, RUR_INTERRUPTED);
}

void RemoteUpdateMap_Downloading::fault(Context& context) {
    recover(context, RUR_UPDATE_ERROR, RUR_INTERRUPTED);
}

void RemoteUpdateMap_WaitingForBoot::Entry(Context& context) {
    context.getOwner().raise(UE_WAIT);
    context.getOwner().getBootloaderService().startApplication();
}

// Recovering, the failure already set stays: the device runs its program again.
void RemoteUpdateMap_WaitingForBoot::started(Context& context) {
    RemoteUpdateService& service = context.getOwner();
    if (service.isRecovering()) {
        if (const auto result = service.getResultOnceRunning()) {
            summarise(context, *result);
        } else {
            context.transition(RemoteUpdateMap::Summary);
        }
    } else {
        // A device that answers with another version than the package's has not taken the update, whatever
        // the download reported: success is only what the device itself shows.
        summarise(context, service.runsPackageVersion() ? RUR_FINISHED : RUR_WRONG_VERSION);
    }
}

void RemoteUpdateMap_WaitingForBoot::deviceTimeout(Context& context) {
    if (context.getOwner().isRecovering()) {
        context.transition(RemoteUpdateMap::Summary, [&] { context.getOwner().noteNotRunning(); });
    } else {
        strand(context, RUR_NOT_STARTED);
    }
}

// The data is in, yet the device's bootloader refused to start it: without a result the wait would never end.
void RemoteUpdateMap_WaitingForBoot::fault(Context& context) {
    if (context.getOwner().isRecovering()) {
        context.transition(RemoteUpdateMap::Summary, [&] { context.getOwner().noteNotRunning(); });
    } else {
        strand(context, RUR_UPDATE_ERROR);
    }
}

void RemoteUpdateMap_Summary::Entry(Context& context) {
    context.getOwner().raise(UE_DONE);
}

void RemoteUpdateMap_Summary::finish(Context& context) {
    context.transition(RemoteUpdateMap::Terminate);
}

void RemoteUpdateMap_Terminate::Entry(Context& context) {
    context.getOwner().getBootloaderService().finish();
    context.getOwner().terminate();
}

} // namespace tdx
