#include "clock/PreciseTime.h"

#include <algorithm>
#include <optional>

#include "clock/UpdateDecision.h"
#include "clock/time/Calendar.h"
#include "clock/time/HttpDate.h"

namespace {

constexpr std::int64_t kSecondUs = 1'000'000;
// Room for the counter's and the server clock's own granularity before two
// answers count as contradicting.
constexpr std::int64_t kSlackUs = 2'000;
// Below this width another request gains nothing worth its wait.
constexpr std::int64_t kEnoughUs = 2'000;
// How far ahead a send is planned, so that the wait can still reach it.
constexpr std::int64_t kLeadUs = 20'000;
// Waits shorter than this end at once: the send's own time is measured.
constexpr std::int64_t kWaitGrainUs = 1'000;

// The answer's Date on the microsecond scale, when the answer is one the
// ordinary update would take.
std::optional<std::int64_t> AnswerDateUs(const TTimeAnswer& answer) {
  if (!IsAcceptedStatus(answer.StatusLine))
    return std::nullopt;
  const std::optional<std::string> text = FindDateText(answer.Headers);
  if (!text)
    return std::nullopt;
  const std::optional<DateTime> date = TryParseHttpDate(*text);
  if (!date)
    return std::nullopt;
  return DateTimeToCalendarMilliseconds(*date) * 1000;
}

} // namespace

bool TServerClockEstimate::Add(std::int64_t dateUs, std::int64_t sentUs, std::int64_t firstByteUs) {
  const std::int64_t roundTrip = firstByteUs - sentUs;
  const std::int64_t surelyLow = dateUs - firstByteUs, surelyHigh = dateUs + kSecondUs - sentUs;
  if (empty_ || roundTrip < shortestRoundTrip_)
    shortestRoundTrip_ = roundTrip;
  // A round trip well above the shortest was held up on one way or the
  // other: its middle says little, so it counts by its sure bounds only.
  const bool middleHolds = roundTrip <= shortestRoundTrip_ + shortestRoundTrip_ / 4 + kSlackUs;
  const std::int64_t middle = sentUs + roundTrip / 2;
  const std::int64_t low = middleHolds ? dateUs - middle : surelyLow;
  const std::int64_t high = middleHolds ? dateUs + kSecondUs - middle : surelyHigh;
  if (empty_) {
    low_ = low, high_ = high, surelyLow_ = surelyLow, surelyHigh_ = surelyHigh;
    empty_ = false;
    return true;
  }
  const std::int64_t newSurelyLow = std::max(surelyLow_, surelyLow);
  const std::int64_t newSurelyHigh = std::min(surelyHigh_, surelyHigh);
  if (newSurelyLow > newSurelyHigh + kSlackUs)
    return false;
  surelyLow_ = newSurelyLow, surelyHigh_ = newSurelyHigh;
  const std::int64_t newLow = std::max(low_, low), newHigh = std::min(high_, high);
  if (newLow <= newHigh) {
    low_ = newLow, high_ = newHigh;
  } else {
    // The middles disagree by less than the round trips allow: the edge
    // lies between them.
    low_ = high_ = (newLow + newHigh) / 2;
  }
  return true;
}

std::int64_t TServerClockEstimate::NextSendUs(std::int64_t earliestUs,
                                              std::int64_t roundTripUs) const {
  // The server's second turns at counter k * 1 s - offset; the request
  // should reach it half a round trip after the send.
  const std::int64_t offset = OffsetUs();
  const std::int64_t turn =
      (FloorDiv(earliestUs + roundTripUs / 2 + offset, kSecondUs) + 1) * kSecondUs - offset;
  return turn - roundTripUs / 2;
}

std::int64_t RoundedMilliseconds(std::int64_t microseconds) {
  return FloorDiv(microseconds + 500, 1000);
}

TPreciseResult MeasureServerClock(TTimeProbe& probe) {
  TPreciseResult result;
  const std::int64_t start = probe.Microseconds();
  result.First = probe.Ask();
  result.Requests = 1;
  const std::optional<std::int64_t> firstDate = AnswerDateUs(result.First);
  if (!firstDate)
    return result;

  TServerClockEstimate estimate;
  estimate.Add(*firstDate, result.First.SentUs, result.First.FirstByteUs);
  while (result.Requests < kPreciseMaxRequests && estimate.WidthUs() > kEnoughUs) {
    // The shortest round trip is the one the middles hold for.
    const std::int64_t roundTrip = estimate.ShortestRoundTripUs();
    const std::int64_t send = estimate.NextSendUs(probe.Microseconds() + kLeadUs, roundTrip);
    // The answer must be back within the update's time, with a round trip
    // to spare.
    if (send + 2 * roundTrip + kLeadUs > start + kPreciseMaxUs)
      break;
    for (std::int64_t left; (left = send - probe.Microseconds()) >= kWaitGrainUs;)
      probe.Wait(left);
    const TTimeAnswer answer = probe.Ask();
    ++result.Requests;
    const std::optional<std::int64_t> date = AnswerDateUs(answer);
    if (!date || !estimate.Add(*date, answer.SentUs, answer.FirstByteUs)) {
      result.End = peContradicted;
      return result;
    }
  }
  result.End = peMeasured;
  result.OffsetUs = estimate.OffsetUs();
  result.UncertaintyUs = estimate.WidthUs() / 2;
  return result;
}
