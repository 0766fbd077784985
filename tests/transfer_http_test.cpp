#include <gtest/gtest.h>

#include <vector>

#include "support/loopback_server.h"
#include "transfer/inet.h"

namespace tessivo {
namespace {

class HttpTransfer : public ::testing::Test {
 protected:
  test::LoopbackServer server{"http_server.py", "."};
  void SetUp() override { ASSERT_GT(server.port(), 0) << "the loopback HTTP server did not start"; }
  TessivoStatus get(const std::string& path, std::vector<uint8_t>& body) {
    cInet inet;
    return inet.httpGet("127.0.0.1", path, server.port(), body);
  }
};

TEST_F(HttpTransfer, BodyArrivesWhole) {
  std::vector<uint8_t> body;
  ASSERT_EQ(get("/ok/100000", body), OK);
  ASSERT_EQ(body.size(), 100000u);
  for (size_t i = 0; i < body.size(); ++i) ASSERT_EQ(body[i], static_cast<uint8_t>(i * 7));
  // A scheme prefix on the host is dropped; the query string is kept.
  cInet inet;
  EXPECT_EQ(inet.httpGet("  HTTP://127.0.0.1 ", "\\ok\\10?x=1", server.port(), body), OK);
  EXPECT_EQ(body.size(), 10u);
}

TEST_F(HttpTransfer, BadResponsesGetTheirOwnStatus) {
  std::vector<uint8_t> body;
  EXPECT_EQ(get("/missing", body), InternetHttpQueryError);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(get("/nolen", body), InternetHttpInvalidFileLength);
  EXPECT_EQ(get("/zero", body), InternetHttpInvalidFileLength);
  EXPECT_EQ(get("/badlen", body), InternetHttpQueryError);
  EXPECT_EQ(get("/cut", body), InternetHttpTransferError);
  EXPECT_TRUE(body.empty());
}

TEST_F(HttpTransfer, RedirectsAreFollowedUpToTen) {
  std::vector<uint8_t> body;
  EXPECT_EQ(get("/redirect/10", body), OK);
  EXPECT_EQ(body.size(), 64u);
  EXPECT_EQ(get("/redirect/11", body), InternetHttpQueryError);
  // Only http and https are followed.
  EXPECT_EQ(get("/toftp", body), InternetHttpQueryError);
}

TEST_F(HttpTransfer, HookSeesEachChunkAndCanCancel) {
  cInet inet;
  inet.setBufferSize(1000);
  std::vector<int64_t> seen;
  inet.setProgressHook([&](int64_t received, int64_t) { seen.push_back(received); return true; });
  std::vector<uint8_t> body;
  ASSERT_EQ(inet.httpGet("127.0.0.1", "/ok/5500", server.port(), body), OK);
  // Five whole chunks, then the last half chunk that completes the body.
  EXPECT_EQ(seen, (std::vector<int64_t>{1000, 2000, 3000, 4000, 5000, 5500}));
  inet.setProgressHook([](int64_t, int64_t) { return false; });
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/ok/5500", server.port(), body), InternetHttpTransferError);
  EXPECT_TRUE(body.empty());
}

TEST_F(HttpTransfer, BufferSizeIsClamped) {
  cInet inet;
  inet.setBufferSize(0);
  EXPECT_EQ(inet.bufferSize(), 1024);
  inet.setBufferSize(-5);
  EXPECT_EQ(inet.bufferSize(), 1024);
  inet.setBufferSize(1 << 30);
  EXPECT_EQ(inet.bufferSize(), 16 * 1024 * 1024);
}

TEST_F(HttpTransfer, UnsafeHostsPortsAndPathsAreRefused) {
  std::vector<uint8_t> body;
  cInet inet;
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/ok/1", 70000, body), InternetConnectError);
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/ok/1", -1, body), InternetConnectError);
  EXPECT_EQ(inet.httpGet("127.0.0.1\r\nX: y", "/ok/1", server.port(), body), InternetConnectError);
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/ok/1\r\nX: y", server.port(), body), InternetConnectError);
  EXPECT_EQ(inet.httpGet("", "/ok/1", server.port(), body), InternetConnectError);
  EXPECT_EQ(inet.httpGet("no host name", "/ok/1", server.port(), body), InternetConnectError);
}

TEST_F(HttpTransfer, HostileServersCannotHoldUsOrFillMemory) {
  std::vector<uint8_t> body;
  // Without a length the body is refused at its first bytes; with one, only that much is read.
  EXPECT_EQ(get("/endless", body), InternetHttpInvalidFileLength);
  EXPECT_EQ(get("/flood", body), OK);
  EXPECT_EQ(body.size(), 1000u);
  cInet inet;
  inet.setStallTimeout(1);
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/stall", server.port(), body), InternetHttpTransferError);
  EXPECT_TRUE(body.empty());
  // A server that answers with an endless stream of bytes that are no HTTP response.
  test::LoopbackServer garbage("ftp_server.py", std::vector<std::string>{".", "garbage"});
  ASSERT_GT(garbage.port(), 0);
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/ok/1", garbage.port(), body), InternetHttpQueryError);
  EXPECT_TRUE(body.empty());
}

TEST(HttpTransferNoServer, ClosedPortIsAConnectError) {
  std::vector<uint8_t> body;
  cInet inet;
  EXPECT_EQ(inet.httpGet("127.0.0.1", "/", 1, body), InternetConnectError);
}

}  // namespace
}  // namespace tessivo
