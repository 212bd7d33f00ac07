// Datalink sockets over a live session with the simulated control unit.
#include "Libraries/tavi_net/bl_client.h"
#include "Libraries/tavi_net/bl_service.h"
#include "Libraries/tavi_net/net_harness.h"

#include <tuple>

namespace tdx::test {
namespace {

// What one socket handler saw, and what it sends when it may.
struct SocketLog {
    int maySend = 0;
    int errors = 0;
    std::vector<std::vector<uint8_t>> received;
    std::deque<std::vector<uint8_t>> toSend;
    std::vector<int> sendResults;
};

void logHandler(xsock_event event, uint8_t* buffer, uint32_t length, void* user) {
    auto& log = *static_cast<SocketLog*>(user);
    switch (event) {
        case XSOCK_MAY_SEND:
            ++log.maySend;
            if (!log.toSend.empty()) {
                const auto data = log.toSend.front();
                log.toSend.pop_front();
                log.sendResults.push_back(
                    tnet_datalink_send(data.data(), static_cast<uint32_t>(data.size())));
            }
            break;
        case XSOCK_RECEIVED:
            log.received.emplace_back(buffer, buffer + length);
            break;
        case XSOCK_ERROR:
            ++log.errors;
            break;
        default:
            break;
    }
}

// A datagram the control unit received: addressee, source port, destination port, data.
std::tuple<uint32_t, int, int, std::vector<uint8_t>> heard(const sim::SimControlUnit::Datagram& d) {
    return {d.to, d.srcPort, d.dstPort, d.data};
}

class DatalinkTest : public NetTest {};

TEST_F(DatalinkTest, OnlyOneOutgoingSocketIsOpenAtATime) {
    SocketLog log;
    xsock* first = tnet_datalink_connect(1, UNIT, 1, logHandler, &log);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tnet_datalink_connect(2, UNIT, 2, logHandler, &log), nullptr);
    EXPECT_NE(traceText().find("the outgoing socket is open"), std::string::npos);
    tnet_datalink_close(first);
    xsock* again = tnet_datalink_connect(2, UNIT, 2, logHandler, &log);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->local_port, 2);
    EXPECT_EQ(again->peer, UNIT);
    tnet_datalink_close(again);
}

TEST_F(DatalinkTest, DatagramsUpTo280BytesTravelLongerOnesAreRefused) {
    SocketLog log;
    std::vector<uint8_t> largest(TNET_DATALINK_MTU);
    for (size_t i = 0; i < largest.size(); ++i) {
        largest[i] = static_cast<uint8_t>(i * 7);
    }
    EXPECT_EQ(tnet_datalink_send(largest.data(), 10), -1) << "outside a handler there is no current socket";

    log.toSend.push_back(std::vector<uint8_t>(TNET_DATALINK_MTU + 1, 0xAA));
    log.toSend.push_back(largest);
    ASSERT_NE(tnet_datalink_connect(5, UNIT, 0, logHandler, &log), nullptr);
    startSession();
    ASSERT_TRUE(waitFor([this] { return !mSim.received_datagrams().empty(); }, 1000));
    EXPECT_EQ(log.sendResults, (std::vector<int>{-1, 0}));
    EXPECT_EQ(heard(mSim.received_datagrams().front()), std::tuple(UNIT, 5, 0, largest));
    // The control unit's ECHO port answers; the answer reaches the socket.
    ASSERT_TRUE(waitFor([&] { return !log.received.empty(); }, 1000));
    EXPECT_EQ(log.received.front(), largest);
}

TEST_F(DatalinkTest, MaySendComesOncePerPassInSessionAndPausesWhileADatagramIsUnacknowledged) {
    SocketLog log;
    ASSERT_NE(tnet_datalink_connect(3, UNIT, 0, logHandler, &log), nullptr);
    for (int i = 0; i < 5; ++i) {
        tnet_task();
    }
    EXPECT_EQ(log.maySend, 0) << "no session yet";

    startSession();
    log.maySend = 0;
    for (int i = 0; i < 7; ++i) {
        tnet_task();
    }
    EXPECT_EQ(log.maySend, 7);

    mSim.faults().withholdAcks = true;
    log.toSend.push_back({1, 2, 3});
    tnet_task();
    const int before = log.maySend;
    run(300);
    EXPECT_EQ(log.maySend, before) << "nothing may be sent while the datagram travels";
    mSim.faults().withholdAcks = false;
    ASSERT_TRUE(waitFor([&] { return log.maySend > before; }, 500));
}

TEST_F(DatalinkTest, DatagramForAPortNobodyServesIsDroppedWithATrace) {
    startSession();
    mSim.sendDatagram(UNIT, 1, TNET_PORT_SERV, {1, 2, 3});
    run(300);
    EXPECT_NE(traceText().find("nobody listens: dropped"), std::string::npos);
    EXPECT_TRUE(mSim.received_datagrams().empty());
    EXPECT_TRUE(upper().received.empty());
}

TEST_F(DatalinkTest, ListenerAnswersThePeerAndPortTheDatagramCameFrom) {
    static std::vector<uint8_t> seen;
    seen.clear();
    ASSERT_EQ(tnet_datalink_listen(
                  7,
                  [](xsock_event event, uint8_t* buffer, uint32_t length, void*) {
                      if (event == XSOCK_RECEIVED) {
                          seen.assign(buffer, buffer + length);
                          buffer[0] = 0x55;
                          tnet_datalink_send(buffer, 1);
                      }
                  },
                  nullptr),
              0);
    EXPECT_EQ(tnet_datalink_listen(7, logHandler, nullptr), -1) << "a port is served once";
    startSession();
    mSim.sendDatagram(0x0A0B0C, 44, 7, {9, 8});
    ASSERT_TRUE(waitFor([this] { return !mSim.received_datagrams().empty(); }, 1000));
    EXPECT_EQ(seen, (std::vector<uint8_t>{9, 8}));
    EXPECT_EQ(heard(mSim.received_datagrams().front()),
              std::tuple(0x0A0B0Cu, 7, 44, std::vector<uint8_t>{0x55}));
}

TEST_F(DatalinkTest, DatagramForAListenerWhoseReplyTravelsWaitsUnacknowledgedThenIsAnswered) {
    startSession();
    mSim.faults().withholdAcks = true; // the echo of the first datagram stays unacknowledged
    mSim.sendDatagram(0x0A0B0C, 1, TNET_PORT_ECHO, {1, 1, 1});
    mSim.sendDatagram(0x0A0B0C, 2, TNET_PORT_ECHO, {2, 2});
    ASSERT_TRUE(waitFor([] { return traceCount("its listener's last reply is pending") >= 2; }, 1000));
    mSim.faults().withholdAcks = false;
    run(500);
    // The echo port answers each datagram to its sender.
    ASSERT_EQ(mSim.received_datagrams().size(), 2u);
    EXPECT_EQ(heard(mSim.received_datagrams()[0]),
              std::tuple(0x0A0B0Cu, int{TNET_PORT_ECHO}, 1, std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(heard(mSim.received_datagrams()[1]),
              std::tuple(0x0A0B0Cu, int{TNET_PORT_ECHO}, 2, std::vector<uint8_t>{2, 2}));
}

TEST_F(DatalinkTest, ListenerReplyStillWaitingIsDroppedWithTheSession) {
    startSession();
    mSim.faults().withholdAcks = true;
    // The SUBSCRIBE goes first and stays unacknowledged; the echo waits behind it until the session ends.
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    mSim.sendDatagram(0x0A0B0C, 1, TNET_PORT_ECHO, {1});
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 1 && !upper().disconnected.empty(); },
                        TNET_SUPERVISION_MS + 500));
    mSim.faults().withholdAcks = false;
    ASSERT_TRUE(waitFor([] { return upper().connected.size() == 2; }, 2000));
    run(500);
    EXPECT_TRUE(mSim.received_datagrams().empty()) << "no reply of the old session reaches the new one";
}

// The bootloader master over the network, against the control unit's own bootloader port.
struct MasterLog {
    std::vector<int> events;
    bl_dev_info info{};
};
MasterLog sMasterLog;

int recordEvent(bl_client* client, bl_cl_event event, void*) {
    sMasterLog.events.push_back(event);
    if (event == BL_CL_EVENT_DEVICE_INFO) {
        sMasterLog.info = client->info;
    }
    return 0;
}

void masterSocket(xsock_event event, uint8_t* buffer, uint32_t length, void* user) {
    auto* client = static_cast<bl_client*>(user);
    int reply = 0;
    if (event == XSOCK_RECEIVED) {
        reply = bl_client_io_up(client, buffer, length);
    } else if (event == XSOCK_MAY_SEND) {
        reply = bl_client_io_task(client, buffer);
    }
    if (reply > 0) {
        tnet_datalink_send(buffer, static_cast<uint32_t>(reply));
    }
}

TEST_F(DatalinkTest, BootloaderMasterIdentifiesTheControlUnitAsRunningApplication) {
    sMasterLog = MasterLog{};
    bl_client client;
    bl_client_init(&client, recordEvent, UNIT, 500);
    bl_client_connect(&client);
    ASSERT_NE(tnet_datalink_connect(TNET_PORT_BLDR, UNIT, TNET_PORT_BLDR, masterSocket, &client), nullptr);
    startSession();
    ASSERT_TRUE(waitFor([] { return sMasterLog.events.size() >= 2; }, 2000));
    EXPECT_EQ(sMasterLog.events, (std::vector<int>{BL_CL_EVENT_DEVICE_INFO, BL_CL_EVENT_APPLICATION}));
    EXPECT_EQ(std::string(sMasterLog.info.hw_code, 5), "HM316");
    EXPECT_EQ(bl_dev_info_serial(&sMasterLog.info), UNIT);
    EXPECT_EQ(client.state, BL_CL_READY);
}

TEST_F(DatalinkTest, BootloaderPortAnswersRequestsButNeverALateReply) {
    bl_start_service();
    startSession();
    // The upgrading side's socket is closed; an answer to its last request still arrives on BLDR.
    mSim.sendDatagram(UNIT, TNET_PORT_BLDR, TNET_PORT_BLDR, {BL_CMD_GET_DEV_INFO | BL_REPLY_FLAG, 0, 7, 0});
    run(300);
    EXPECT_TRUE(mSim.received_datagrams().empty()) << "a reply was answered";
    EXPECT_NE(traceText().find("reply 83 from a peer ignored"), std::string::npos);

    mSim.sendDatagram(UNIT, TNET_PORT_BLDR, TNET_PORT_BLDR, {BL_CMD_GET_PROTO_VERSION, 0, 8, 0});
    ASSERT_TRUE(waitFor([this] { return !mSim.received_datagrams().empty(); }, 1000));
    const auto& answer = mSim.received_datagrams().front();
    EXPECT_EQ(answer.data, (std::vector<uint8_t>{BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG, BL_STATUS_OK, 8, 0,
                                                 BL_PROTOCOL_VERSION, BL_MODE_APPLICATION}));
}

} // namespace
} // namespace tdx::test
