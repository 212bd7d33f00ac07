#include "SourceApp/application/update/SelfUpdateMap.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/update/SelfUpdateService.h"

namespace tdx {

SelfUpdateMap_Init SelfUpdateMap::Init("SelfUpdateMap::Init", 0);
SelfUpdateMap_SearchPackages SelfUpdateMap::SearchPackages("SelfUpdateMap::SearchPackages", 1);
SelfUpdateMap_SearchFinished SelfUpdateMap::SearchFinished("SelfUpdateMap::SearchFinished", 2);
SelfUpdateMap_Downloading SelfUpdateMap::Downloading("SelfUpdateMap::Downloading", 3);
SelfUpdateMap_Summary SelfUpdateMap::Summary("SelfUpdateMap::Summary", 4);
SelfUpdateMap_Terminate SelfUpdateMap::Terminate("SelfUpdateMap::Terminate", 5);
SelfUpdateMap_CardRemoved SelfUpdateMap::CardRemoved("SelfUpdateMap::CardRemoved", 6);

namespace {

void cancelled(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::Summary, [&] { c.getOwner().setResult(SUR_CANCELLED); });
}

} // namespace

void SelfUpdateMap_Init::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().raise(UE_DEVICE_IDENTIFIED);
}
void SelfUpdateMap_Init::cancel(SelfUpdateServiceContext& c) {
    cancelled(c);
}
void SelfUpdateMap_Init::search(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::SearchPackages);
}

void SelfUpdateMap_SearchPackages::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().startPackageSearch();
    c.getOwner().raise(UE_SEARCHING);
}
void SelfUpdateMap_SearchPackages::cardRemoved(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::CardRemoved);
}
void SelfUpdateMap_SearchPackages::searchFinished(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::SearchFinished);
}

void SelfUpdateMap_SearchFinished::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().processPackages();
    c.getOwner().raise(UE_SEARCH_FINISHED);
}
void SelfUpdateMap_SearchFinished::cancel(SelfUpdateServiceContext& c) {
    cancelled(c);
}
void SelfUpdateMap_SearchFinished::cardRemoved(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::CardRemoved);
}
void SelfUpdateMap_SearchFinished::confirmUpgrade(SelfUpdateServiceContext& c, uint32_t index) {
    if (!c.getOwner().isListed(index)) {
        dbg_printf_h("SELFUPDATE row %u is not listed", index);
        Default(c);
        return;
    }
    c.transition(SelfUpdateMap::Downloading, [&] { c.getOwner().platformStartUpgrade(index); });
}
void SelfUpdateMap_SearchFinished::search(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::SearchPackages, [&] { c.getOwner().resetSearch(); });
}

void SelfUpdateMap_Downloading::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().raise(UE_PROGRESS);
}
void SelfUpdateMap_Downloading::download(SelfUpdateServiceContext& c) {
    c.internal([&] { c.getOwner().raise(UE_PROGRESS); });
}
void SelfUpdateMap_Downloading::fault(SelfUpdateServiceContext& c, const char* reason) {
    c.transition(SelfUpdateMap::Summary, [&] {
        c.getOwner().setFaultReason(reason);
        c.getOwner().setResult(SUR_ERROR);
    });
}
void SelfUpdateMap_Downloading::task(SelfUpdateServiceContext& c) {
    c.internal([&] { c.getOwner().platformTask(); });
}
void SelfUpdateMap_Downloading::upgraded(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::Summary, [&] { c.getOwner().setResult(SUR_AFTER_RESTART); });
}

void SelfUpdateMap_Summary::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().raise(UE_DONE);
}
void SelfUpdateMap_Summary::finish(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::Terminate);
}

void SelfUpdateMap_Terminate::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().platformHandleFinish();
    c.getOwner().terminate();
}

void SelfUpdateMap_CardRemoved::Entry(SelfUpdateServiceContext& c) {
    c.getOwner().resetSearch();
    c.getOwner().raise(UE_CARD_REMOVED);
}
void SelfUpdateMap_CardRemoved::cancel(SelfUpdateServiceContext& c) {
    cancelled(c);
}
void SelfUpdateMap_CardRemoved::cardInserted(SelfUpdateServiceContext& c) {
    c.transition(SelfUpdateMap::SearchPackages);
}

} // namespace tdx
