// The join of the model and the window: copies travel to the window, ids travel back as host commands, and
// with real threads nothing touches what the other thread owns (this program also runs under
// ThreadSanitizer).
#include "inspector_fixture.h"

#include <atomic>
#include <thread>

namespace tdx::test {
namespace {

using Lines = std::vector<std::string>;

class Link : public InspectorTest {
protected:
    void SetUp() override {
        InspectorTest::SetUp();
        windowLog.listen(window, MODEL_EVENTS);
        link = std::make_unique<InspectorLink>(model, window, host, posts.poster());
    }
    void TearDown() override {
        link.reset();
        InspectorTest::TearDown();
    }
    void raiseOnWindow(const std::string& name, ComponentId id) {
        ComponentCopy copy;
        copy.id = id;
        MessageArgumentComponentCopy payload(copy);
        window.raise(name, &payload);
    }

    BusLog window{"MainWindow"};
    BusLog windowLog;
    PostQueue posts;
    std::unique_ptr<InspectorLink> link;
};

TEST_F(Link, TheWindowStartsDeselectedAndGetsCopiesThatOutliveTheComponents) {
    EXPECT_EQ(windowLog.take(), (Lines{"COMPONENT_DESELECT"}));
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 20, 30, 40);
    pass();
    model.bridge().setSelectedComponent(a);
    a->setPosition(11, 20);
    openScreen(13); // A is deleted before the window sees anything
    EXPECT_TRUE(windowLog.take().empty()) << "nothing reaches the window before its thread runs the posts";
    posts.run();
    EXPECT_EQ(windowLog.take(),
              (Lines{"STATE_CHANGE", "COMPONENT_TREE_CHANGE 1 rows", "COMPONENT_TREE_CHANGE 2 rows",
                     "COMPONENT_SELECT A 10,20 30x40", "COMPONENT_NOTIFY_CHANGE A 11,20 30x40",
                     "COMPONENT_DESELECT", "STATE_CHANGE", "COMPONENT_TREE_CHANGE 1 rows"}));
}

TEST_F(Link, ListPicksAndResetsReachTheModelByIdAndAStaleIdIsDropped) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 10, 20, 30, 40);
    Patch* b = add(form, "B", 50, 50, 10, 10);
    pass();
    raiseOnWindow("COMPONENT_SELECT_FROM_LIST", model.idOf(b));
    EXPECT_EQ(coreSelection(model), nullptr) << "only in the application's pass";
    step();
    EXPECT_EQ(coreSelection(model), b);

    const ComponentId idA = model.idOf(a);
    raiseOnWindow("COMPONENT_SELECT_FROM_LIST", idA);
    step();
    model.selected().setLeft(0);
    raiseOnWindow("COMPONENT_RESET", model.idOf(b)); // meant for B: A stays where it is
    step();
    EXPECT_EQ(a->getLeft(), 0);
    raiseOnWindow("COMPONENT_RESET", idA);
    step();
    EXPECT_EQ(a->getLeft(), 10);

    delete a;
    raiseOnWindow("COMPONENT_SELECT_FROM_LIST", idA);
    step();
    EXPECT_EQ(coreSelection(model), nullptr);
    EXPECT_TRUE(mTrace.contains("has left the tree"));
}

TEST_F(Link, AfterTheLinkIsGoneQueuedAndPostedWorkDoesNothing) {
    TestForm* form = openScreen(12);
    Patch* a = add(form, "A", 0, 0, 10, 10);
    pass();
    posts.run();
    windowLog.take();
    raiseOnWindow("COMPONENT_SELECT_FROM_LIST", model.idOf(a));
    model.bridge().setSelectedComponent(a);
    link.reset();
    step();
    posts.run();
    EXPECT_TRUE(windowLog.take().empty());
    model.bridge().setSelectedComponent(nullptr);
    EXPECT_EQ(posts.run(), 0u);
}

// The application on a thread of its own, the test thread as the window's: picks from the list and edits go
// over, copies come back, while the application keeps changing its tree.
TEST(LinkThreads, CopiesAndCommandsCrossWithoutSharingComponents) {
    Core core;
    Model model;
    HostHandOver handOver;
    ManualTimerQueue timers;
    std::atomic<int> passes{0};
    std::vector<Patch*> patches;
    CHost host({[&] {
                    model.attach(&core);
                    auto* form = new Form(State(9));
                    for (int i = 0; i < 20; ++i) {
                        patches.push_back(new Patch(form, i * 10, 0, 10, 10, 0));
                    }
                },
                [&] {
                    handOver.runQueued([&](const Event& e) { core.sendEvent(e.kind, e.x, e.y, e.a, e.b); });
                    const int n = passes.fetch_add(1);
                    if (n % 7 == 3) { // a tree that keeps changing under the window's feet
                        delete patches.back();
                        patches.back() = new Patch(static_cast<Container*>(core.getModalLayers().front()),
                                                   190, 0, 10, 10, 0);
                    }
                    core.task();
                }},
               handOver, &timers);
    BusLog window{"MainWindow"};
    BusLog windowLog;
    windowLog.listen(window, MODEL_EVENTS);
    PostQueue posts;
    ComponentRows rows;
    ComponentId selected = 0;
    window.addListener("COMPONENT_TREE_CHANGE", std::make_shared<LambdaCommand>([&](MessageArgument* a) {
                           if (auto* r = payload_as<MessageArgumentComponentRows>(a)) {
                               rows = r->getRows();
                           }
                       }));
    window.addListener("COMPONENT_DESELECT",
                       std::make_shared<LambdaCommand>([&](MessageArgument*) { selected = 0; }));
    window.addListener("COMPONENT_SELECT", std::make_shared<LambdaCommand>([&](MessageArgument* a) {
                           if (const ComponentCopy* c = read_component_copy(a)) {
                               selected = c->id;
                           }
                       }));
    {
        InspectorLink link(model, window, host, posts.poster());
        host.Initialize();
        int edits = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (edits < 40 && std::chrono::steady_clock::now() < end) {
            posts.run();
            if (selected == 0 && rows.size() > 1) {
                ComponentCopy pick = rows[1 + static_cast<size_t>(edits) % (rows.size() - 1)].component;
                MessageArgumentComponentCopy payload(pick);
                window.raise("COMPONENT_SELECT_FROM_LIST", &payload);
            }
            if (selected != 0) {
                host.sendCommand(
                    std::make_shared<ComponentSetAttributeCommand>(selected, Top, 1 + edits % 50));
                ++edits;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_TRUE(host.stop());
        EXPECT_GE(edits, 40);
    }
    posts.run();
    const Lines lines = windowLog.take();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "COMPONENT_DESELECT"), lines.end());
    EXPECT_GT(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& l) { return l.rfind("COMPONENT_NOTIFY_CHANGE Patch", 0) == 0; }),
        0);
    model.attach(nullptr);
}

} // namespace
} // namespace tdx::test
