// The network client against the simulated bus master: learning, connection, polling, reliability,
// supervision.
#include "Libraries/link_bus/dissector.h"
#include "Libraries/tavi_net/net_harness.h"

namespace tdx::test {
namespace {

using Phase = sim::SimControlUnit::Phase;

class ClientTest : public NetTest {};

TEST_F(ClientTest, WithoutLearnRequestTheClientIgnoresSearches) {
    run(1000);
    EXPECT_GE(mSim.count(true, TNET_CMD_SEARCH), 3);
    EXPECT_EQ(mSim.count(false, TNET_CMD_SEARCH_REPLY), 0);
    EXPECT_EQ(tnet_get_state(), TNET_OFFLINE);
    EXPECT_TRUE(upper().connected.empty());
}

TEST_F(ClientTest, LearnAnswersSearchThenConnectsAndOpensASession) {
    tnet_learn_request();
    EXPECT_EQ(tnet_get_state(), TNET_LEARN);
    ASSERT_TRUE(waitFor([] { return !upper().connected.empty(); }));

    const auto replies = packets(false, TNET_CMD_SEARCH_REPLY);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].address, DISPLAY);
    EXPECT_EQ(replies[0].control, TNET_CTL_DIR);
    const std::vector<uint8_t> identity{'T', 'D', '4', '1', '0',  1,    'T',  'D',
                                        '4', '1', '0', 1,   0x10, 0x04, 0x01, 0};
    EXPECT_EQ(replies[0].payload, identity);

    const auto connects = packets(true, TNET_CMD_CONNECT);
    ASSERT_FALSE(connects.empty());
    EXPECT_EQ(connects[0].address, DISPLAY);
    EXPECT_EQ(connects[0].payload, (std::vector<uint8_t>{0x16, 0x03, 0x00, 0x00}));
    EXPECT_EQ(packets(true, TNET_CMD_SESSION_OPEN).size(), 1u);

    EXPECT_EQ(upper().connected, std::vector<uint32_t>{UNIT});
    EXPECT_EQ(upper().learning, (std::vector<int>{1, 0}));
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
    EXPECT_EQ(tnet_get_owner(), UNIT);
}

TEST_F(ClientTest, EveryPollIsAnsweredWithNopWhenNothingIsQueued) {
    startSession();
    run(1000);
    const int polls = mSim.count(true, TNET_CMD_POLL);
    EXPECT_GE(polls, 15);
    EXPECT_EQ(mSim.count(false, TNET_CMD_NOP), polls);
    const auto& log = mSim.log();
    for (size_t i = 0; i + 1 < log.size(); i += 2) {
        EXPECT_TRUE(log[i].fromMaster && log[i].cmd == TNET_CMD_POLL);
        EXPECT_TRUE(!log[i + 1].fromMaster && log[i + 1].cmd == TNET_CMD_NOP);
        EXPECT_EQ(log[i + 1].address, DISPLAY);
        EXPECT_TRUE(log[i + 1].payload.empty());
    }
    EXPECT_EQ(mSim.phase(), Phase::Session);
    EXPECT_TRUE(upper().disconnected.empty());
}

TEST_F(ClientTest, CommandIsResentUntilAcknowledgedThenNextUsesOtherSequenceBit) {
    startSession();
    mSim.faults().withholdAcks = true;
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    run(400);

    const auto sent = packets(false, TNET_CMD_SUBSCRIBE);
    ASSERT_GE(sent.size(), 4u);
    for (const auto& packet : sent) {
        EXPECT_EQ(packet.control & TNET_CTL_SEQ, 0);
    }
    EXPECT_TRUE(upper().transmitted.empty());
    EXPECT_EQ(mSim.subscriptions().size(), 1u) << "the master takes a retransmission only once";

    mSim.faults().withholdAcks = false;
    ASSERT_TRUE(waitFor([] { return !upper().transmitted.empty(); }, 500));
    EXPECT_EQ(upper().transmitted, std::vector<uint8_t>{TNET_CMD_SUBSCRIBE});

    mSim.clearLog();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(0xFFFFFFFF, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().transmitted.size() == 2; }, 500));
    const auto second = packets(false, TNET_CMD_SUBSCRIBE);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second[0].control & TNET_CTL_SEQ, TNET_CTL_SEQ);
    EXPECT_EQ(mSim.subscriptions().size(), 2u);
}

TEST_F(ClientTest, MasterRetransmissionIsAcknowledgedButDeliveredOnce) {
    startSession();
    mSim.faults().duplicates = 1;
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) > 0; }, 1000));
    run(300);

    const auto synchronized = packets(true, TNET_CMD_SYNCHRONIZED);
    ASSERT_EQ(synchronized.size(), 2u);
    EXPECT_EQ(synchronized[0].control & TNET_CTL_SEQ, synchronized[1].control & TNET_CTL_SEQ);
    EXPECT_EQ(upper().receivedCount(TNET_CMD_SYNCHRONIZED), 1);
    EXPECT_EQ(upper().received.back().second, subscribePayload(DISPLAY, 0xFFFF));
    EXPECT_NE(traceText().find("duplicate SYNCHRONIZED"), std::string::npos) << traceText();
    // The duplicate was acknowledged: the master has nothing left to resend.
    const auto& log = mSim.log();
    const auto lastFromMaster = std::find_if(log.rbegin(), log.rend(),
                                             [](const sim::SimPacket& packet) { return packet.fromMaster; });
    ASSERT_NE(lastFromMaster, log.rend());
    EXPECT_EQ(lastFromMaster->cmd, TNET_CMD_POLL) << "polling again, nothing to resend";
}

TEST_F(ClientTest, AGapJustUnderTheSupervisionTimeKeepsTheSessionThreeSecondsOfSilenceEndIt) {
    startSession();
    mSim.faults().pauseMs = TNET_SUPERVISION_MS - 100;
    run(TNET_SUPERVISION_MS + 500);
    EXPECT_TRUE(upper().disconnected.empty());
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);

    mSim.faults().stopPolling = true;
    run(100);
    const uint64_t silentSince = timer() - 100;
    ASSERT_TRUE(waitFor([] { return !upper().disconnected.empty(); }, 4000));
    const uint64_t after = timer() - silentSince;
    EXPECT_GE(after, static_cast<uint64_t>(TNET_SUPERVISION_MS) - 60);
    EXPECT_LE(after, static_cast<uint64_t>(TNET_SUPERVISION_MS) + 60);
    EXPECT_EQ(upper().disconnected, std::vector<int>{TNET_DISCONNECT_SUPERVISION});
    EXPECT_EQ(tnet_get_state(), TNET_OFFLINE);
    EXPECT_EQ(tnet_get_owner(), 0xFFFFFFFFu);
    // The master's next poll finds the client off-line and connects it again.
    mSim.faults().stopPolling = false;
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 2; }, 1000));
}

TEST_F(ClientTest, APacketIsGivenUpBySupervisionTimeNotByCountWhilePollsGoOn) {
    startSession();
    mSim.faults().withholdAcks = true;
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return !upper().disconnected.empty(); }, TNET_SUPERVISION_MS + 500));

    const auto sends = packets(false, TNET_CMD_SUBSCRIBE);
    ASSERT_GT(sends.size(), 8u) << "a noisy line needs more tries than a fixed count allows";
    EXPECT_GE(timer() - sends.front().at, uint64_t{TNET_SUPERVISION_MS - 100});
    EXPECT_EQ(upper().failed, std::vector<uint8_t>{TNET_CMD_SUBSCRIBE});
    EXPECT_EQ(upper().disconnected, std::vector<int>{TNET_DISCONNECT_RETRIES});
    const auto nacks = packets(false, TNET_CMD_NACK);
    ASSERT_EQ(nacks.size(), 1u);
    EXPECT_EQ(nacks[0].payload, (std::vector<uint8_t>{TNET_CMD_SUBSCRIBE, TNET_NACK_NOT_CONNECTED}));

    mSim.faults().withholdAcks = false;
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 2; }, 2000));
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
}

TEST_F(ClientTest, LostAnswerToSessionOpenIsAnsweredAgainWithoutANewSession) {
    mSim.faults().dropOpenAnswers = 1;
    tnet_learn_request();
    ASSERT_TRUE(waitFor([this] { return mSim.phase() == Phase::Session; }));

    const auto opens = packets(true, TNET_CMD_SESSION_OPEN);
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].payload, opens[1].payload) << "the master repeats the same session id";
    EXPECT_EQ(upper().connected, std::vector<uint32_t>{UNIT});
    EXPECT_TRUE(upper().disconnected.empty());
    run(500);
    EXPECT_TRUE(upper().disconnected.empty());
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
}

TEST_F(ClientTest, DisconnectFromMasterIsReportedAndTheKnownClientIsConnectedAgain) {
    startSession();
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return !upper().disconnected.empty(); }, 500));
    EXPECT_EQ(upper().disconnected, std::vector<int>{TNET_DISCONNECT_MASTER});
    EXPECT_EQ(mSim.count(true, TNET_CMD_DISCONNECT), 1);
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 2; }, 2000));
    EXPECT_EQ(mSim.count(false, TNET_CMD_SEARCH_REPLY), 0) << "reconnected without learning";
}

TEST_F(ClientTest, AddressedPacketsWithoutSessionAreRefusedSoTheMasterReconnects) {
    mSim.inject(DISPLAY, TNET_CMD_POLL, 0, {});
    run(100);
    auto nacks = packets(false, TNET_CMD_NACK);
    ASSERT_EQ(nacks.size(), 1u);
    EXPECT_EQ(nacks[0].payload, (std::vector<uint8_t>{TNET_CMD_POLL, TNET_NACK_NOT_CONNECTED}));

    mSim.inject(DISPLAY, TNET_CMD_CONNECT, 0, {0x16, 0x03, 0x00, 0x00});
    mSim.inject(DISPLAY, TNET_CMD_POLL, 0, {});
    const std::vector<uint8_t> remove{0x01, 0x02, 0x03, 0x04};
    mSim.inject(DISPLAY, TNET_CMD_OBJECT_REMOVE, 0, remove);
    ASSERT_TRUE(waitFor([this] { return mSim.count(false, TNET_CMD_NACK) == 3; }, 1000));
    nacks = packets(false, TNET_CMD_NACK);
    ASSERT_EQ(nacks.size(), 3u);
    EXPECT_EQ(nacks[1].payload, (std::vector<uint8_t>{TNET_CMD_POLL, TNET_NACK_NO_SESSION}));
    EXPECT_EQ(nacks[2].payload, (std::vector<uint8_t>{TNET_CMD_OBJECT_REMOVE, TNET_NACK_NO_SESSION}));
    EXPECT_EQ(tnet_get_state(), TNET_CONNECTED);
    EXPECT_TRUE(upper().received.empty());
    EXPECT_TRUE(upper().connected.empty());
}

TEST_F(ClientTest, ConnectedClientWithoutSessionIsReopenedByTheMaster) {
    startSession();
    // A SESSION_OPEN in a session starts a fresh one: the upper layer hears the end and the new start.
    mSim.inject(DISPLAY, TNET_CMD_SESSION_OPEN, 0, {9});
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 2; }, 500));
    EXPECT_EQ(upper().disconnected, std::vector<int>{TNET_DISCONNECT_RECONNECT});
}

TEST_F(ClientTest, ReplyCarriesAcknowledgementOfTheMastersSequencedPacket) {
    startSession();
    mSim.add_object(DISPLAY, 2, 0);
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 1000));

    // Each master data packet is answered by a packet acknowledging exactly its SEQ.
    const auto& log = mSim.log();
    int checked = 0;
    for (size_t i = 0; i + 1 < log.size(); ++i) {
        if (log[i].fromMaster && tnet_command_is_sequenced(log[i].cmd) && !log[i + 1].fromMaster) {
            const uint8_t control = log[i + 1].control;
            EXPECT_TRUE(control & TNET_CTL_ACK);
            EXPECT_EQ((control & TNET_CTL_ACKSEQ) ? 1 : 0, log[i].control & TNET_CTL_SEQ);
            ++checked;
        }
    }
    EXPECT_GE(checked, 2);
    EXPECT_EQ(upper().receivedCount(TNET_CMD_OBJECT_INFO), 1);
}

TEST_F(ClientTest, BothLearnNamesEnterLearnModeAndARequestInSessionLearnsAgain) {
    tnet_if_learn_request();
    EXPECT_EQ(tnet_get_state(), TNET_LEARN);
    ASSERT_TRUE(waitFor([] { return tnet_get_state() == TNET_SESSION; }));
    tnet_learn_request();
    EXPECT_EQ(upper().learning, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(tnet_get_state(), TNET_SESSION) << "learning again keeps the session until a master connects";
    mSim.inject(TNET_BROADCAST, TNET_CMD_SEARCH, 0, {});
    ASSERT_TRUE(waitFor([this] { return mSim.count(false, TNET_CMD_SEARCH_REPLY) == 2; }, 500));
}

TEST_F(ClientTest, UpperLayerCommandThatCannotTravelIsGivenUpNotSent) {
    startSession();
    upper().toSend.emplace_back(TNET_CMD_POLL, std::vector<uint8_t>{});
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, std::vector<uint8_t>{1, 2, 3});
    upper().toSend.emplace_back(TNET_CMD_SYNC_TIME, std::vector<uint8_t>{1, 2, 3, 4});
    ASSERT_TRUE(waitFor([] { return !upper().transmitted.empty(); }, 500));
    EXPECT_EQ(upper().failed, (std::vector<uint8_t>{TNET_CMD_POLL, TNET_CMD_SUBSCRIBE}));
    EXPECT_EQ(upper().transmitted, std::vector<uint8_t>{TNET_CMD_SYNC_TIME});
    EXPECT_EQ(mSim.count(false, TNET_CMD_SUBSCRIBE), 0);
    EXPECT_EQ(mSim.received_time_syncs(), std::vector<uint32_t>{0x04030201});
    EXPECT_NE(traceText().find("upper layer handed 1 with 0 bytes: not sent"), std::string::npos);
}

TEST_F(ClientTest, DissectorTracesEachPacketInAndOutOnceWhileEnabled) {
    startSession();
    tnet_dissect_enable(true);
    traceText().clear();
    run(500);
    tnet_dissect_enable(false);
    const int polls = mSim.count(true, TNET_CMD_POLL);
    const int nops = mSim.count(false, TNET_CMD_NOP);
    run(200); // switched off: traces nothing more
    ASSERT_GE(polls, 5);
    EXPECT_EQ(traceCount("RX 010410 POLL seq=0"), static_cast<size_t>(polls)) << traceText();
    EXPECT_EQ(traceCount("TX 010410 NOP seq=0"), static_cast<size_t>(nops)) << traceText();
}

} // namespace
} // namespace tdx::test
