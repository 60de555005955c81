#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "clock/PreciseTime.h"
#include "clock/time/Calendar.h"
#include "tests/common/HttpDateText.h"

namespace {

constexpr std::int64_t kSecond = 1'000'000;
// The counter's zero on the server's scale when the server's clock is right:
// 2026-12-11 00:00:00 GMT, in microseconds.
const std::int64_t kCounterZero =
    CalendarTimeToCalendarMilliseconds({2026, 12, 11, 5, 0, 0, 0, 0}) * 1000;

std::string HttpDate(std::int64_t serverUs) {
  return peer::FormatHttpDate(FloorDiv(serverUs, kSecond) * 1000);
}

// A server on a counter of its own making: its clock runs SkewUs ahead of
// kCounterZero + counter, each request takes DelayUs to reach it and the
// answer DelayUs + BackExtraUs to come back, and each wait ends LateUs after
// it should. Nothing real waits, so every figure is exact.
class TScriptedServer : public TTimeProbe {
public:
  TTimeAnswer Ask() override {
    TTimeAnswer answer;
    now_ += 150; // the send itself
    answer.SentUs = now_;
    now_ += DelayUs;
    const std::int64_t serverUs = DateOf ? DateOf(Requests) : kCounterZero + now_ + SkewUs;
    now_ += DelayUs + BackExtraUs + (HeldUp ? HeldUp(Requests) : 0);
    ++Requests;
    answer.FirstByteUs = now_;
    answer.StatusLine = StatusLine;
    answer.Headers = {"Server: scripted", "Date: " + HttpDate(serverUs), "Content-Length: 0"};
    return answer;
  }
  std::int64_t Microseconds() override { return now_; }
  void Wait(std::int64_t microseconds) override { now_ += microseconds + LateUs; }

  // The measured offset's error against the true skew, in microseconds.
  std::int64_t Error(const TPreciseResult& result) const {
    return result.OffsetUs - (kCounterZero + SkewUs);
  }

  std::int64_t SkewUs = 0;
  std::int64_t DelayUs = 0;
  std::int64_t BackExtraUs = 0;
  std::int64_t LateUs = 300;
  std::string StatusLine = "HTTP/1.1 200 OK";
  // The server's time for the n-th request (from 0), when not its clock's.
  std::function<std::int64_t(int)> DateOf;
  // How much longer the n-th answer takes to come back.
  std::function<std::int64_t(int)> HeldUp;
  int Requests = 0;

private:
  std::int64_t now_ = 5 * kSecond + 123'457;
};

// Skews around every part of a second, and the one-way delays of the
// benchmark: the offset comes out within a few milliseconds, in at most
// eight requests and ten seconds.
TEST(PreciseMeasure, FindsTheSkewWithinMillisecondsForEveryDelay) {
  for (const std::int64_t skew : {37'333'000LL, 999'000LL, -500'000LL, 400LL, -2'718'281LL}) {
    for (const std::int64_t delay : {0LL, 20'000LL, 100'000LL}) {
      TScriptedServer server;
      server.SkewUs = skew;
      server.DelayUs = delay;
      const std::int64_t start = server.Microseconds();
      const TPreciseResult result = MeasureServerClock(server);
      SCOPED_TRACE("skew " + std::to_string(skew) + " us, delay " + std::to_string(delay) + " us");
      EXPECT_EQ(result.End, peMeasured);
      EXPECT_LE(std::llabs(server.Error(result)), 5'000);
      EXPECT_LE(std::llabs(server.Error(result)), result.UncertaintyUs + 1'000)
          << "the error stays within what the answers left open";
      EXPECT_LE(server.Requests, kPreciseMaxRequests);
      EXPECT_EQ(result.Requests, server.Requests);
      EXPECT_LE(server.Microseconds() - start, kPreciseMaxUs);
    }
  }
}

// The estimate takes the stamp to be in the middle of the round trip: an
// answer that takes 10 ms longer to come back than the request took to go
// makes the server's clock look about half of that later, no more.
TEST(PreciseMeasure, AsymmetricDelayCostsHalfTheDifference) {
  TScriptedServer server;
  server.SkewUs = 37'333'000;
  server.DelayUs = 20'000;
  server.BackExtraUs = 10'000;
  const TPreciseResult result = MeasureServerClock(server);
  ASSERT_EQ(result.End, peMeasured);
  EXPECT_NEAR(static_cast<double>(server.Error(result)), -5'000, 4'500);
}

// One answer held up on its way back (a busy server, a lost packet): its
// round trip stands out and its middle is not trusted, whichever answer it
// is.
TEST(PreciseMeasure, AHeldUpAnswerDoesNotMislead) {
  for (int late = 1; late < kPreciseMaxRequests; ++late) {
    TScriptedServer server;
    server.SkewUs = 37'333'000;
    server.DelayUs = 100'000;
    server.HeldUp = [late](int n) { return n == late ? 150'000 : 0; };
    const TPreciseResult result = MeasureServerClock(server);
    SCOPED_TRACE("answer " + std::to_string(late) + " held up");
    ASSERT_EQ(result.End, peMeasured);
    EXPECT_LE(std::llabs(server.Error(result)), 10'000);
  }
}

// However slow the server, the measurement asks no more than the time allows.
TEST(PreciseMeasure, SlowAnswersStopWithinTheUpdatesTime) {
  TScriptedServer server;
  server.SkewUs = 250'000;
  server.DelayUs = 900'000;
  const std::int64_t start = server.Microseconds();
  const TPreciseResult result = MeasureServerClock(server);
  EXPECT_EQ(result.End, peMeasured);
  EXPECT_LT(server.Requests, kPreciseMaxRequests);
  EXPECT_LE(server.Microseconds() - start, kPreciseMaxUs);
}

// Answers that no steady clock can give end the measurement with the first
// answer kept for the ordinary result.
TEST(PreciseMeasure, ContradictingAnswersFallBackToTheFirst) {
  struct TCase {
    const char* name;
    std::function<std::int64_t(int)> dateOf;
    int requests;
  };
  const std::int64_t right = kCounterZero + 5 * kSecond;
  const TCase cases[] = {
      // A cache answers from the second request on with a Date 40 s old.
      {"cache with an old Date", [&](int n) { return n == 0 ? right : right - 40 * kSecond; }, 2},
      // The server's seconds stand still.
      {"Date that does not advance", [&](int) { return right; }, 0},
      // The server jumps a minute ahead after its first answer.
      {"Date that jumps", [&](int n) { return n == 0 ? right : right + 60 * kSecond; }, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedServer server;
    server.DateOf = c.dateOf;
    const TPreciseResult result = MeasureServerClock(server);
    EXPECT_EQ(result.End, peContradicted);
    if (c.requests) {
      EXPECT_EQ(result.Requests, c.requests);
    }
    EXPECT_LE(result.Requests, kPreciseMaxRequests);
    EXPECT_EQ(result.First.Headers[1], "Date: " + HttpDate(right));
  }
}

// A first answer that the ordinary update would not take (no accepted
// status, no Date it knows) is left to the ordinary decision at once.
TEST(PreciseMeasure, UnusableFirstAnswerEndsAtOnce) {
  TScriptedServer server;
  server.StatusLine = "HTTP/1.1 204 No Content";
  const TPreciseResult result = MeasureServerClock(server);
  EXPECT_EQ(result.End, peNotUsable);
  EXPECT_EQ(result.Requests, 1);
  EXPECT_EQ(result.First.StatusLine, "HTTP/1.1 204 No Content");
}

TEST(PreciseMeasure, NextSendPutsTheSecondsTurnInTheMiddleOfTheRoundTrip) {
  TServerClockEstimate estimate;
  // Sent at 10.0 s, answered at 10.2 s, Date says server second 100:
  // offset between 89.9 s and 90.9 s, 90.4 s by the middle.
  ASSERT_TRUE(estimate.Add(100 * kSecond, 10 * kSecond, 10 * kSecond + 200'000));
  EXPECT_EQ(estimate.OffsetUs(), 90 * kSecond + 400'000);
  EXPECT_EQ(estimate.WidthUs(), kSecond);
  // The server's second turns at counter 10.6 s, 11.6 s, ...: reached 100 ms
  // after a send at 10.5 s, if that is not too early.
  EXPECT_EQ(estimate.NextSendUs(10 * kSecond + 300'000, 200'000), 10 * kSecond + 500'000);
  EXPECT_EQ(estimate.NextSendUs(10 * kSecond + 500'001, 200'000), 11 * kSecond + 500'000);
  // An answer from the same second sent later halves what is open.
  ASSERT_TRUE(estimate.Add(100 * kSecond, 10 * kSecond + 500'000, 10 * kSecond + 700'000));
  EXPECT_EQ(estimate.WidthUs(), 500'000);
  EXPECT_EQ(RoundedMilliseconds(1'499), 1);
  EXPECT_EQ(RoundedMilliseconds(1'500), 2);
  EXPECT_EQ(RoundedMilliseconds(-1'501), -2);
}

} // namespace
