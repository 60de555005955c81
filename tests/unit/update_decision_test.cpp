#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "clock/Exceptions.h"
#include "clock/UpdateDecision.h"
#include "clock/time/Calendar.h"
#include "clock/time/NumberText.h"

namespace {

const std::string SetText = "時刻更新に成功しました。";
const std::string RefusedText = "時刻更新を行いませんでした。";
const std::string FailedText = "時刻更新は失敗しました。";

// 2026-12-07 14:46:37.000 local: the server's Date below at bias -540.
const CalendarMilliseconds ServerLocal =
    CalendarTimeToCalendarMilliseconds({2026, 12, 7, 1, 14, 46, 37, 0});

// Zone bias -540, local clock 14:46:40.250, the exchange took 300 ms, no
// summer hour, correction 0, limit on with 300 seconds.
UpdateInputs WorkedRun() {
  UpdateInputs in;
  in.StatusLine = "HTTP/1.1 200 OK";
  in.ResponseHeaders = {"Server: test", "Date: Mon, 07 Dec 2026 05:46:37 GMT", "Content-Length: 0"};
  in.LocalClock = CalendarMillisecondsToDateTime(ServerLocal + 3250);
  in.ZoneBias = -540;
  in.ConversionBias = -540;
  in.StartTicks = 1000;
  in.EndTicks = 1300;
  in.CorrectionSecondsText = "0";
  in.CorrectionSign = -1;
  in.LimitDeviation = true;
  in.MaxDeviationSecondsText = "300";
  return in;
}

// The worked run with no exchange time and the local clock placed so that
// the server's time is `deviationMs` ahead of the reference.
UpdateInputs RunWithServerAhead(int64_t deviationMs) {
  UpdateInputs in = WorkedRun();
  in.EndTicks = in.StartTicks;
  in.LocalClock = CalendarMillisecondsToDateTime(ServerLocal - deviationMs);
  return in;
}

CalendarMilliseconds NewTime(const UpdateResult& r) {
  return CalendarTimeToCalendarMilliseconds(r.NewLocalTime);
}

// How far the new time lies from the plain server time of RunWithServerAhead.
int64_t Shift(const UpdateInputs& in) {
  return NewTime(DecideUpdate(in, '.')) - ServerLocal;
}

template <typename E> std::string FailureText(const UpdateInputs& in) {
  try {
    DecideUpdate(in, '.');
  } catch (const E& e) {
    return e.Message;
  }
  return "no failure";
}

TEST(UpdateDecision, WorkedRun) {
  const UpdateResult r = DecideUpdate(WorkedRun(), '.');
  EXPECT_EQ(r.Outcome, uoSet);
  const CalendarTime& t = r.NewLocalTime;
  EXPECT_EQ(t.Year, 2026);
  EXPECT_EQ(t.Month, 12);
  EXPECT_EQ(t.Day, 7);
  EXPECT_EQ(t.DayOfWeek, 1);
  EXPECT_EQ(t.Hour, 14);
  EXPECT_EQ(t.Minute, 46);
  EXPECT_EQ(t.Second, 37);
  EXPECT_EQ(t.Millisecond, 300);
  EXPECT_EQ(r.DeviationSeconds, 2.95);
  EXPECT_EQ(r.StatusText, SetText);
  EXPECT_EQ(r.DialogText,
            "日本標準時に対し\r\n約 2.95秒進んでいました。\r\n\r\n時刻更新に成功しました。");
  EXPECT_EQ(r.TipText, "2.95秒の誤差");
}

TEST(UpdateDecision, ReferenceFollowsTheZoneBias) {
  // Reference = local clock - bias - nine hours: at bias -60 eight hours
  // behind the local clock, so a PC that agrees with the server is far off.
  UpdateInputs in = RunWithServerAhead(0);
  in.ZoneBias = -60;
  in.LimitDeviation = false;
  EXPECT_EQ(DecideUpdate(in, '.').DeviationSeconds, -8 * 3600.0);
}

TEST(UpdateDecision, TextsAreCodePage932Bytes) {
  UpdateInputs in = WorkedRun();
  in.StatusLine = "HTTP/1.1 204 No Content";
  EXPECT_EQ(DecideUpdate(in, '.').StatusText,
            "\x8e\x9e\x8d\x8f\x8d\x58\x90\x56\x82\xcd\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82"
            "\xbd\x81\x42");
  EXPECT_EQ(DecideUpdate(RunWithServerAhead(0), '.').TipText, "0\x95\x62\x82\xcc\x8c\xeb\x8d\xb7");
}

TEST(UpdateDecision, LimitBoundsAreInclusive) {
  const struct {
    int64_t DeviationMs;
    UpdateOutcome Outcome;
  } cases[] = {
      {300'000, uoSet}, {300'001, uoRefused}, {-300'000, uoSet}, {-300'001, uoRefused}, {0, uoSet},
  };
  for (const auto& c : cases) {
    const UpdateResult r = DecideUpdate(RunWithServerAhead(c.DeviationMs), '.');
    EXPECT_EQ(r.Outcome, c.Outcome) << "server ahead by " << c.DeviationMs << " ms";
    if (r.Outcome == uoRefused) {
      EXPECT_EQ(r.StatusText, RefusedText);
      EXPECT_EQ(r.DialogText, RefusedText);
      EXPECT_EQ(r.TipText, "");
    }
  }
}

TEST(UpdateDecision, LimitOffSetsAnyDeviation) {
  UpdateInputs in = RunWithServerAhead(86'400'000);
  in.LimitDeviation = false;
  const UpdateResult r = DecideUpdate(in, '.');
  EXPECT_EQ(r.Outcome, uoSet);
  EXPECT_EQ(r.DeviationSeconds, -86400.0);
}

TEST(UpdateDecision, CorrectionMinusEntryAddsPlusEntrySubtracts) {
  const struct {
    const char* Seconds;
    int Sign;
    int64_t Shift;
  } cases[] = {
      {"2", 0, 2000}, {"2", 1, -2000},  {"2", -1, 0},     {"0", 0, 0},
      {"0", 1, 0},    {"-2", 0, -2000}, {"+2", 1, -2000},
  };
  for (const auto& c : cases) {
    UpdateInputs in = RunWithServerAhead(0);
    in.CorrectionSecondsText = c.Seconds;
    in.CorrectionSign = c.Sign;
    EXPECT_EQ(Shift(in), c.Shift) << "correction " << c.Seconds << " sign " << c.Sign;
  }
}

TEST(UpdateDecision, SummerHourOnlyWhenCheckedAndEnabled) {
  const struct {
    bool Checked;
    bool Enabled;
    int64_t Shift;
  } cases[] = {{true, true, 3'600'000}, {true, false, 0}, {false, true, 0}, {false, false, 0}};
  for (const auto& c : cases) {
    UpdateInputs in = RunWithServerAhead(0);
    in.LimitDeviation = false;
    in.ForceSummerTime = c.Checked;
    in.SummerTimeAvailable = c.Enabled;
    EXPECT_EQ(Shift(in), c.Shift) << "checked " << c.Checked << " enabled " << c.Enabled;
  }
}

TEST(UpdateDecision, ExchangeTicksSurviveTheCounterWrap) {
  UpdateInputs in = RunWithServerAhead(0);
  in.StartTicks = 4'294'967'040u;
  in.EndTicks = 256;
  EXPECT_EQ(Shift(in), 512);
}

TEST(UpdateDecision, StatusLineIsASubstringTest) {
  const struct {
    const char* Line;
    bool Accepted;
  } cases[] = {
      {"HTTP/1.1 200 OK", true},          {"HTTP/1.0 302 Found", true},
      {"HTTP/1.1 204 No Content", false}, {"", false},
      {"HTTP/1.1 2002 Odd", true},        {"HTTP/1.1 203 Non-Authoritative", false},
  };
  for (const auto& c : cases) {
    UpdateInputs in = WorkedRun();
    in.StatusLine = c.Line;
    const UpdateResult r = DecideUpdate(in, '.');
    EXPECT_EQ(r.Outcome == uoSet, c.Accepted) << "status line \"" << c.Line << "\"";
    if (!c.Accepted) {
      EXPECT_EQ(r.Outcome, uoFailed);
      EXPECT_EQ(r.StatusText, FailedText);
      EXPECT_EQ(r.DialogText, "");
    }
  }
}

TEST(UpdateDecision, FailedStatusReadsNothingElse) {
  UpdateInputs in = WorkedRun();
  in.StatusLine = "";
  in.ResponseHeaders.clear();
  in.CorrectionSecondsText = "x";
  in.MaxDeviationSecondsText = "y";
  EXPECT_EQ(DecideUpdate(in, '.').Outcome, uoFailed);
}

TEST(UpdateDecision, DateLineIsTheFirstBeginningWithDate) {
  const struct {
    std::vector<std::string> Headers;
  } accepted[] = {
      {{"Date:Mon, 07 Dec 2026 05:46:37 GMT"}},
      {{"Server: x", "Date: \tMon, 07 Dec 2026 05:46:37 GMT\r"}},
      {{"date: Mon, 07 Dec 2026 06:00:00 GMT", "Date: Mon, 07 Dec 2026 05:46:37 GMT",
        "Date: Mon, 07 Dec 2026 07:00:00 GMT"}},
  };
  for (const auto& c : accepted) {
    UpdateInputs in = WorkedRun();
    in.ResponseHeaders = c.Headers;
    EXPECT_EQ(DecideUpdate(in, '.').DeviationSeconds, 2.95) << "first line: " << c.Headers[0];
  }
}

TEST(UpdateDecision, MissingDateLineRunsOffTheList) {
  UpdateInputs in = WorkedRun();
  in.ResponseHeaders = {"Server: x", "date: Mon, 07 Dec 2026 05:46:37 GMT", " Date: x"};
  EXPECT_EQ(FailureText<EStringListError>(in), "リストのインデックスが範囲を超えています (3)");
  in.ResponseHeaders.clear();
  EXPECT_EQ(FailureText<EStringListError>(in), "リストのインデックスが範囲を超えています (0)");
}

TEST(UpdateDecision, NonIntegerSettingsFailWithTheirText) {
  UpdateInputs in = WorkedRun();
  in.CorrectionSecondsText = "2s";
  EXPECT_EQ(FailureText<EConvertError>(in), "'2s' は整数ではありません");

  // The limit is read also when it is off.
  in = WorkedRun();
  in.LimitDeviation = false;
  in.MaxDeviationSecondsText = " 300";
  EXPECT_EQ(FailureText<EConvertError>(in), "' 300' は整数ではありません");
}

TEST(UpdateDecision, ImpossibleDateFails) {
  UpdateInputs in = WorkedRun();
  in.ResponseHeaders = {"Date: Sun Nov  6 08:49:37 1994"};
  EXPECT_EQ(FailureText<EConvertError>(in), "日付に変換できない値が渡されました");
}

TEST(UpdateDecision, UnrecognisedDateFailsInsteadOfSettingZeroDate) {
  for (bool limit : {true, false}) {
    UpdateInputs in = WorkedRun();
    in.LimitDeviation = limit;
    in.ResponseHeaders = {"Date: yesterday"};
    const UpdateResult r = DecideUpdate(in, '.');
    EXPECT_EQ(r.Outcome, uoFailed) << "limit " << limit;
    EXPECT_EQ(r.StatusText, FailedText);
    EXPECT_EQ(r.DialogText, "");
  }
}

TEST(UpdateDecision, LargeSecondCountsAreExactMilliseconds) {
  const struct {
    const char* Seconds;
    int Sign;
    int64_t Shift;
  } corrections[] = {
      {"2147484", 0, 2'147'484'000},
      {"2147483647", 1, -2'147'483'647'000},
      {"-2147483648", 0, -2'147'483'648'000},
  };
  for (const auto& c : corrections) {
    UpdateInputs in = RunWithServerAhead(0);
    in.LimitDeviation = false;
    in.CorrectionSecondsText = c.Seconds;
    in.CorrectionSign = c.Sign;
    EXPECT_EQ(Shift(in), c.Shift) << "correction " << c.Seconds;
  }

  UpdateInputs in = RunWithServerAhead(3'000'000'000);
  in.MaxDeviationSecondsText = "3000000";
  EXPECT_EQ(DecideUpdate(in, '.').Outcome, uoSet);
  in = RunWithServerAhead(3'000'000'001);
  in.MaxDeviationSecondsText = "3000000";
  EXPECT_EQ(DecideUpdate(in, '.').Outcome, uoRefused);

  in = RunWithServerAhead(0);
  in.CorrectionSecondsText = "2147483648";
  EXPECT_EQ(FailureText<EConvertError>(in), "'2147483648' は整数ではありません");
}

TEST(UpdateDecision, DialogAndTipPerDeviation) {
  const struct {
    int64_t ServerAheadMs;
    const char* Dialog;
    const char* Tip;
  } cases[] = {
      {0, "日本標準時に対し\r\n誤差は 1秒以内でした。\r\n\r\n時刻更新に成功しました。",
       "0秒の誤差"},
      {-400, "日本標準時に対し\r\n約 0.4秒進んでいました。\r\n\r\n時刻更新に成功しました。",
       "0.4秒の誤差"},
      {-3000, "日本標準時に対し\r\n約 3秒進んでいました。\r\n\r\n時刻更新に成功しました。",
       "3秒の誤差"},
      {1500, "日本標準時に対し\r\n約 1.5秒遅れていました。\r\n\r\n時刻更新に成功しました。",
       "-1.5秒の誤差"},
      {1, "日本標準時に対し\r\n約 0.001秒遅れていました。\r\n\r\n時刻更新に成功しました。",
       "-0.001秒の誤差"},
  };
  for (const auto& c : cases) {
    const UpdateResult r = DecideUpdate(RunWithServerAhead(c.ServerAheadMs), '.');
    EXPECT_EQ(r.DialogText, c.Dialog) << "server ahead by " << c.ServerAheadMs << " ms";
    EXPECT_EQ(r.TipText, c.Tip) << "server ahead by " << c.ServerAheadMs << " ms";
  }

  const UpdateResult comma = DecideUpdate(WorkedRun(), ',');
  EXPECT_EQ(comma.TipText, "2,95秒の誤差");
}

TEST(NumberText, IntegerTexts) {
  const struct {
    const char* Text;
    std::optional<int32_t> Value;
  } cases[] = {
      {"0", 0},
      {"300", 300},
      {"-5", -5},
      {"+7", 7},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {" 5", std::nullopt},
      {"5 ", std::nullopt},
      {"5x", std::nullopt},
      {"1.0", std::nullopt},
      {"--5", std::nullopt},
      {"0x10", std::nullopt},
      {"\xef\xbc\x95", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TryStrToInt(c.Text), c.Value) << "text: \"" << c.Text << "\"";
  EXPECT_EQ(StrToInt("-12"), -12);
}

TEST(NumberText, DecimalFormat) {
  const struct {
    double Value;
    const char* Text;
  } cases[] = {
      {0.4, "0.4"},
      {2.95, "2.95"},
      {3, "3"},
      {0, "0"},
      {-0.0, "0"},
      {-1.5, "-1.5"},
      {0.001, "0.001"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {-2.0 / 3, "-0.666666666666667"},
      {9.999999999999999, "10"},
      {123456.789, "123456.789"},
      {1e20, "100000000000000000000"},
      {123456789012345678.0, "123456789012346000"},
      {-2147483648000.0, "-2147483648000"},
      {1e-7, "0.0000001"},
      {1.5e-20, "0.000000000000000000015"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatDecimal(c.Value, '.'), c.Text) << "value " << c.Text;
  EXPECT_EQ(FormatDecimal(-1234.5, ','), "-1234,5");
}

} // namespace
