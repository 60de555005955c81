#include "clock/UpdateDecision.h"

#include <optional>
#include <string_view>

#include "clock/Exceptions.h"
#include "clock/time/Calendar.h"
#include "clock/time/HttpDate.h"
#include "clock/time/NumberText.h"

namespace {

constexpr int64_t NineHours = 32'400'000;
constexpr int64_t SummerHour = 3'600'000;

const char* const FailedText = "時刻更新は失敗しました。";
const char* const RefusedText = "時刻更新を行いませんでした。";
const char* const SetText = "時刻更新に成功しました。";

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
    text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
    text.remove_suffix(1);
  return text;
}

std::string DateText(const std::vector<std::string>& headers) {
  if (std::optional<std::string> text = FindDateText(headers))
    return *text;
  // The search walks off the end of the header list.
  throw EStringListError("リストのインデックスが範囲を超えています (" +
                         std::to_string(headers.size()) + ")");
}

UpdateResult Failed() {
  UpdateResult result;
  result.Outcome = uoFailed;
  result.StatusText = FailedText;
  return result;
}

std::string DeviationDialog(double deviationSeconds, char decimalSeparator) {
  if (deviationSeconds == 0)
    return std::string("日本標準時に対し\r\n誤差は 1秒以内でした。\r\n\r\n") + SetText;
  const bool ahead = deviationSeconds > 0;
  return "日本標準時に対し\r\n約 " +
         FormatDecimal(ahead ? deviationSeconds : -deviationSeconds, decimalSeparator) +
         (ahead ? "秒進んでいました。" : "秒遅れていました。") + "\r\n\r\n" + SetText;
}

} // namespace

bool IsAcceptedStatus(const std::string& statusLine) {
  return statusLine.find("200") != std::string::npos || statusLine.find("302") != std::string::npos;
}

std::optional<std::string> FindDateText(const std::vector<std::string>& headers) {
  for (const std::string& line : headers) {
    if (line.compare(0, 4, "Date") == 0)
      return std::string(TrimControls(std::string_view(line).substr(line.size() < 5 ? 4 : 5)));
  }
  return std::nullopt;
}

UpdateResult DecideUpdate(const UpdateInputs& in, char decimalSeparator) {
  if (!IsAcceptedStatus(in.StatusLine))
    return Failed();

  const CalendarMilliseconds referenceTime =
      DateTimeToCalendarMilliseconds(in.LocalClock) - int64_t{in.ZoneBias} * 60'000 - NineHours;

  // A date text in no known form would otherwise set the clock to
  // 1899-12-30, which no server means.
  const std::optional<DateTime> serverGmt =
      in.MeasuredServerGmt ? in.MeasuredServerGmt : TryParseHttpDate(DateText(in.ResponseHeaders));
  if (!serverGmt)
    return Failed();
  CalendarMilliseconds targetTime =
      DateTimeToCalendarMilliseconds(GmtToLocal(*serverGmt, in.ConversionBias));

  if (in.ForceSummerTime && in.SummerTimeAvailable)
    targetTime += SummerHour;

  // Seconds times 1000 in 64 bits: every 32-bit count of seconds is exact.
  const int64_t correction = int64_t{StrToInt(in.CorrectionSecondsText)} * 1000;
  if (correction != 0) {
    // The "－" entry adds and the "＋" entry subtracts.
    if (in.CorrectionSign == 0)
      targetTime += correction;
    else if (in.CorrectionSign == 1)
      targetTime -= correction;
  }

  targetTime += static_cast<uint32_t>(in.EndTicks - in.StartTicks);

  UpdateResult result;
  result.NewLocalTime = CalendarMillisecondsToCalendarTime(targetTime);

  const int64_t limit = int64_t{StrToInt(in.MaxDeviationSecondsText)} * 1000;
  if (in.LimitDeviation &&
      (targetTime > referenceTime + limit || targetTime < referenceTime - limit)) {
    result.Outcome = uoRefused;
    result.StatusText = RefusedText;
    result.DialogText = RefusedText;
    return result;
  }

  result.Outcome = uoSet;
  result.DeviationSeconds = static_cast<double>(referenceTime - targetTime) / 1000;
  result.StatusText = SetText;
  result.DialogText = DeviationDialog(result.DeviationSeconds, decimalSeparator);
  result.TipText = FormatDecimal(result.DeviationSeconds, decimalSeparator) + "秒の誤差";
  return result;
}
