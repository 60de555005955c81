// The decision of one time update: from what the exchange gathered to the
// new local time and the texts to show. No effects; the caller sets the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clock/time/DateTime.h"

struct UpdateInputs {
  // As received in this exchange; empty when nothing arrived.
  std::string StatusLine;
  std::vector<std::string> ResponseHeaders;
  // The local clock, read after the exchange.
  DateTime LocalClock = 0;
  // Bias of the time-zone information, read before the exchange.
  int32_t ZoneBias = 0;
  // The bias that converts the server's GMT to local time.
  int32_t ConversionBias = 0;
  uint32_t StartTicks = 0;
  uint32_t EndTicks = 0;
  // CheckBox3: checked, and enabled.
  bool ForceSummerTime = false;
  bool SummerTimeAvailable = false;
  // Edit7, read as an integer by the decision.
  std::string CorrectionSecondsText;
  // ComboBox1: 0 = "－", 1 = "＋", -1 = none selected.
  int CorrectionSign = -1;
  // CheckBox7, and Edit6 read as an integer by the decision.
  bool LimitDeviation = false;
  std::string MaxDeviationSecondsText;
  // Precise mode: the server's time (GMT, to the millisecond) at the end
  // ticks, measured; it stands for the Date header, and the exchange time
  // is already in it.
  std::optional<DateTime> MeasuredServerGmt;
};

enum UpdateOutcome { uoSet, uoRefused, uoFailed };

struct UpdateResult {
  UpdateOutcome Outcome = uoFailed;
  CalendarTime NewLocalTime;
  // Positive: the PC clock was ahead of the server.
  double DeviationSeconds = 0;
  std::string StatusText;
  // Empty: no dialog.
  std::string DialogText;
  // The new tray tip; set for uoSet only.
  std::string TipText;
};

// A status line the update accepts.
bool IsAcceptedStatus(const std::string& statusLine);
// The text after "Date:" of the first header line that begins with "Date".
std::optional<std::string> FindDateText(const std::vector<std::string>& headers);

// Fails with EConvertError for a correction or limit text that is not an
// integer and for an impossible date, and with EStringListError when no
// header line begins with "Date".
UpdateResult DecideUpdate(const UpdateInputs& inputs, char decimalSeparator);
