// The precise mode's measurement: the offset between a web server's clock
// and the PC's counter, to the millisecond, from Date headers that have
// whole seconds only. Each answer says in which second the server was when
// it answered; asking at the moments the server's second should turn
// halves what is still unknown with every request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One answered request, timed on the counter (microseconds).
struct TTimeAnswer {
  std::string StatusLine;
  std::vector<std::string> Headers;
  // The request's last byte handed to the socket.
  std::int64_t SentUs = 0;
  // The answer's first byte received.
  std::int64_t FirstByteUs = 0;
};

// What the measurement works through: the exchange and the counter.
class TTimeProbe {
public:
  virtual ~TTimeProbe() = default;
  // One HEAD request; fails as the ordinary exchange fails.
  virtual TTimeAnswer Ask() = 0;
  virtual std::int64_t Microseconds() = 0;
  // Waits about that long, or less, keeping the window served.
  virtual void Wait(std::int64_t microseconds) = 0;
};

constexpr int kPreciseMaxRequests = 8;
constexpr std::int64_t kPreciseMaxUs = 10'000'000;

enum TPreciseEnd {
  // The offset is known.
  peMeasured,
  // A later answer contradicts the earlier ones (a cache's old Date, a
  // clock that does not advance steadily): only the first answer counts.
  peContradicted,
  // The first answer has no accepted status or no known Date: it is judged
  // as the ordinary exchange's answer would be.
  peNotUsable,
};

struct TPreciseResult {
  TPreciseEnd End = peNotUsable;
  // The server's time (GMT, microseconds on the CalendarMilliseconds scale)
  // less the counter; peMeasured only.
  std::int64_t OffsetUs = 0;
  // Half the width of what the answers leave open.
  std::int64_t UncertaintyUs = 0;
  int Requests = 0;
  TTimeAnswer First;
};

TPreciseResult MeasureServerClock(TTimeProbe& probe);

// Microseconds to the nearest millisecond.
std::int64_t RoundedMilliseconds(std::int64_t microseconds);

// What the answers so far allow for the offset. Each answer bounds it from
// its Date and the instant the server stamped it, taken as the middle of
// its round trip; the round trip's ends bound it for certain, and answers
// that leave nothing between those are contradictory. An answer whose round
// trip was held up counts by those sure bounds only.
class TServerClockEstimate {
public:
  // False when the answer contradicts those before (it is not added).
  bool Add(std::int64_t dateUs, std::int64_t sentUs, std::int64_t firstByteUs);
  std::int64_t OffsetUs() const { return (low_ + high_) / 2; }
  std::int64_t WidthUs() const { return high_ > low_ ? high_ - low_ : 0; }
  std::int64_t ShortestRoundTripUs() const { return shortestRoundTrip_; }
  // The send moment, at or after earliestUs, for which the server's second
  // turns, by the current estimate, in the middle of a round trip that
  // long.
  std::int64_t NextSendUs(std::int64_t earliestUs, std::int64_t roundTripUs) const;

private:
  bool empty_ = true;
  std::int64_t shortestRoundTrip_ = 0;
  std::int64_t low_ = 0, high_ = 0;
  std::int64_t surelyLow_ = 0, surelyHigh_ = 0;
};
