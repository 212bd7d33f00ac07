#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/storage/DataModel.h"

#include <algorithm>
#include <climits>
#include <functional>

namespace tdx {

namespace {

constexpr int INDENT = 9;

// Runs the row's follow on every change of one value.
class FollowCommand : public ICommand {
public:
    explicit FollowCommand(std::function<void()> follow)
        : mFollow(std::move(follow)) {}
    void execute() override { mFollow(); }

private:
    std::function<void()> mFollow;
};

std::string titleOf(const std::string& title, const DataModel::Descriptor::VidBase* descriptor) {
    return !title.empty() || descriptor == nullptr ? title : std::string(gettext(descriptor->name));
}

// A limit made by the descriptor's factory, the descriptor's fixed limit without one; the value it follows,
// if any.
std::unique_ptr<Number<int>> limit(const DataModel::Factories::AbstractNumberFactory* factory, oid_t oid,
                                   const DataModel::Descriptor::VidSignedNumber& d, int fixed,
                                   vid_t* follows) {
    Number<int>* made = factory != nullptr ? factory->create(oid, d) : nullptr;
    if (const auto* proxy = dynamic_cast<const DataModel::Factories::ProxyNumberFactory*>(factory)) {
        *follows = proxy->vid();
    }
    return made != nullptr ? std::unique_ptr<Number<int>>(made) : std::make_unique<StaticNumber<int>>(fixed);
}

// Step and text from the value's descriptor (without one: steps of 1, the plain number) and the delay
// before the write.
template <class T, class D>
UpDownBase* configured(NumericUpDown<T>* upDown, const D* d) {
    upDown->setStep(d != nullptr && d->step > 0 ? d->step : T{1});
    if (d != nullptr) {
        upDown->setFormatter(std::unique_ptr<DataModel::Formatter>(DataModel::createFormatter(*d)));
    }
    upDown->setDelayBeforeCommit(ProxyUpDownRow::COMMIT_DELAY_MS);
    return upDown;
}

} // namespace

ProxyUpDownRow::ProxyUpDownRow(Container* parent, int x, int y, int width, int height,
                               const std::string& title)
    : RowContainer(parent, x, y, width, height) {
    setName("ProxyUpDownRow");
    // A long title, as several settings and translations have, is shown whole in the smaller font rather than
    // cut short, on two lines where one is not enough even then.
    const int titleWidth = std::max(width - 132, 0);
    // Two blank columns keep a whole title apart from one cut short, which ends at the box's edge.
    if (bif_text_width(bif_myriad12.getFont(), title) <= titleWidth - 2) {
        mTitle = new ContainedLabel(this, INDENT, 0, titleWidth, height, &bif_myriad12, title,
                                    HorizontalAlign::Left, VerticalAlign::Middle);
    } else if (bif_text_width(bif_myriad10.getFont(), title) <= titleWidth - 2) {
        mTitle = new ContainedLabel(this, INDENT, 0, titleWidth, height, &bif_myriad10, title,
                                    HorizontalAlign::Left, VerticalAlign::Middle);
    } else {
        mLongTitle =
            new TextFrame(this, INDENT, 0, titleWidth, height, &bif_myriad10, title, VerticalAlign::Middle);
    }
}

const std::string& ProxyUpDownRow::getTitle() const {
    return mTitle != nullptr ? mTitle->getText() : mLongTitle->getText();
}

void ProxyUpDownRow::setTitleColour(unsigned colour) {
    if (mTitle != nullptr) {
        mTitle->setFaceColor(colour);
    } else {
        mLongTitle->setFaceColor(colour);
    }
}

ProxyUpDownRow::ProxyUpDownRow(Container* parent, int x, int y, int width, int height, const SignedOvi& ovi,
                               FormModel& model, const std::string& title)
    : ProxyUpDownRow(parent, x, y, width, height, titleOf(title, ovi.descriptor)) {
    const DataModel::Descriptor::VidSignedNumber* d = ovi.descriptor;
    std::unique_ptr<Number<int>> minimum = std::make_unique<StaticNumber<int>>(INT_MIN);
    std::unique_ptr<Number<int>> maximum = std::make_unique<StaticNumber<int>>(INT_MAX);
    vid_t minimumFollows = 0;
    vid_t maximumFollows = 0;
    if (d != nullptr) {
        minimum = limit(d->minimumFactory, ovi.oid, *d, d->minimum, &minimumFollows);
        maximum = limit(d->maximumFactory, ovi.oid, *d, d->maximum, &maximumFollows);
    }
    mUpDown =
        configured(new NumericUpDown<int>(this, 0, 0, UP_DOWN_WIDTH, getHeight(), &bif_myriad12,
                                          std::move(minimum), std::move(maximum),
                                          std::make_unique<ProxyNumber<int>>(ovi.vid, ovi.oid, ovi.vtype)),
                   d);
    bindTo(model, ovi);
    for (vid_t follows : {minimumFollows, maximumFollows}) {
        if (follows != 0) {
            bindTo(model, Ovi(ovi.oid, follows));
        }
    }
}

ProxyUpDownRow::ProxyUpDownRow(Container* parent, int x, int y, int width, int height, const UnsignedOvi& ovi,
                               FormModel& model, const std::string& title)
    : ProxyUpDownRow(parent, x, y, width, height, titleOf(title, ovi.descriptor)) {
    const DataModel::Descriptor::VidUnsignedNumber* d = ovi.descriptor;
    mUpDown = configured(new NumericUpDown<unsigned>(
                             this, 0, 0, UP_DOWN_WIDTH, getHeight(), &bif_myriad12,
                             std::make_unique<StaticNumber<unsigned>>(d != nullptr ? d->minimum : 0u),
                             std::make_unique<StaticNumber<unsigned>>(d != nullptr ? d->maximum : UINT_MAX),
                             std::make_unique<ProxyNumber<unsigned>>(ovi.vid, ovi.oid, ovi.vtype)),
                         d);
    bindTo(model, ovi);
}

void ProxyUpDownRow::bindTo(FormModel& model, const Ovi& ovi) {
    // The model dies before the screen's widgets: its commands may point at the row.
    model.bind(new FollowCommand([this] { follow(); }), ovi);
}

void ProxyUpDownRow::follow() {
    mUpDown->update();
    if (!mUpDown->hasChangesToCommit()) {
        setTitleColour(colour::TEXT);
    }
}

void ProxyUpDownRow::handleMessage(Message* message) {
    RowContainer::handleMessage(message);
    if (message->is(MSG_COMMIT_PENDING, mUpDown)) {
        setTitleColour(PENDING_COLOUR);
    } else if (message->is(MSG_COMMIT, mUpDown) && message->p1 == 0) {
        setTitleColour(colour::TEXT);
    }
}

} // namespace tdx
