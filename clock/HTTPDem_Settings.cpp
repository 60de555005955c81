// The settings files: ServerList.txt and Set.ini loaded into the controls at
// start-up, the controls saved on request, and the window position on close.
#include "clock/HTTPDem.h"

#include <exception>
#include <functional>
#include <string>

#include "clock/time/NumberText.h"

namespace {
const char kSet[] = "Set";
const char kPosition[] = "Position";
const char kOn[] = "On";
const char kOff[] = "Off";
const char kDefaultHours[] = "8";
const unsigned kMillisecondsPerHour = 3600000;

const char* OnOff(bool on) {
  return on ? kOn : kOff;
}

// Runs the load's steps one after another. A step that fails leaves the rest
// of its controls alone and the next step still runs, so that a save after a
// failed load does not replace stored values by built-in ones; the first
// failure is raised once all steps have run.
class TLoadSteps {
public:
  void Run(const std::function<void()>& step) {
    try {
      step();
    } catch (...) {
      if (!firstError_)
        firstError_ = std::current_exception();
    }
  }
  void RaiseFirstError() const {
    if (firstError_)
      std::rethrow_exception(firstError_);
  }

private:
  std::exception_ptr firstError_;
};
} // namespace

void TForm1::LoadClockSettings() {
  TLoadSteps steps;
  steps.Run([this] { ComboBox3.SetItems(ReadSiteList()); });
  steps.Run([this] {
    std::string site = ReadSetting(kSet, "WebSite", "-1");
    if (site == "-1")
      site = std::to_string(random_.Random(static_cast<uint32_t>(ComboBox3.Items().size())));
    // A stored site that cannot be selected (the list is missing, or shorter
    // than it was) stays in the file until the user chooses one.
    keepStoredWebSite_ = true;
    ComboBox3.SetItemIndex(StrToInt(site));
    keepStoredWebSite_ = ComboBox3.ItemIndex() == -1;
  });
  steps.Run([this] {
    const std::string top = ReadSetting(kPosition, "Top", "");
    const std::string left = ReadSetting(kPosition, "Left", "");
    // Both are converted before either is applied.
    const int newTop = top.empty() ? Top() : StrToInt(top);
    const int newLeft = left.empty() ? Left() : StrToInt(left);
    SetBounds(newLeft, newTop, Width(), Height());
  });
  steps.Run([this] {
    Edit3.SetText(ReadSetting(kSet, "Address", ""));
    Edit4.SetText(ReadSetting(kSet, "Port", ""));
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "Proxy", "") == kOn)
      CheckBox1.SetChecked(true);
  });
  steps.Run([this] {
    Edit1.SetText(ReadSetting(kSet, "Name", ""));
    Edit2.SetText(UnscramblePassword(ReadSetting(kSet, "Pass", "")));
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "User", "") == kOn)
      CheckBox2.SetChecked(true);
  });
  steps.Run([this] {
    HttpVersion = ReadSetting(kSet, "HTTPV", "");
    if (HttpVersion.empty())
      HttpVersion = "pv1_1";
    if (HttpVersion == "pv1_0")
      ComboBox2.SetItemIndex(1);
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "Summer", "") == kOn)
      CheckBox3.SetChecked(true);
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "Wait", "") == kOn)
      CheckBox4.SetChecked(true);
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "NonError", "") == kOn) {
      SuppressErrorDialog = true;
      CheckBox5.SetChecked(true);
    }
  });
  steps.Run([this] {
    std::string hours = ReadSetting(kSet, "ServerTime", "");
    if (hours.empty())
      hours = kDefaultHours;
    const int position = StrToInt(hours);
    Edit5.SetText(hours);
    // The up-down keeps 1..168 and writes what it keeps back into Edit5.
    UpDown1.SetPosition(position);
  });
  steps.Run([this] {
    if (ReadSetting(kSet, "Server", "") != kOn)
      return;
    Resident = true;
    CheckBox6.SetChecked(true);
    Timer2.SetInterval(static_cast<unsigned>(StrToInt(Edit5.Text())) * kMillisecondsPerHour);
    Timer2.SetEnabled(true);
  });
  steps.Run([this] {
    const std::string limit = ReadSetting(kSet, "Gosa", "");
    if (limit == kOn) {
      CheckBox7.SetChecked(true);
    } else if (limit == kOff) {
      CheckBox7.SetChecked(false);
      Edit6.SetEnabled(false);
      Label9.SetEnabled(false);
    }
  });
  steps.Run([this] {
    const std::string seconds = ReadSetting(kSet, "GosaTime", "");
    if (!seconds.empty())
      Edit6.SetText(seconds);
  });
  steps.Run([this] {
    const std::string sign = ReadSetting(kSet, "Hosei", "");
    if (sign == "-")
      ComboBox1.SetItemIndex(0);
    else if (sign == "+")
      ComboBox1.SetItemIndex(1);
  });
  steps.Run([this] {
    const std::string seconds = ReadSetting(kSet, "Hoseiti", "");
    if (!seconds.empty())
      Edit7.SetText(seconds);
  });
  steps.Run([this] { P1.SetChecked(ReadSetting(kSet, "Precise", "") == kOn); });
  steps.RaiseFirstError();
}

void TForm1::Button3Click(TObject*) {
  // Before the first write, so that a refused password leaves the file as
  // it was.
  if (CheckBox2.Checked())
    CheckPasswordStorable(Edit2.Text());

  if (ComboBox3.ItemIndex() != -1 || !keepStoredWebSite_)
    WriteSetting(kSet, "WebSite", std::to_string(ComboBox3.ItemIndex()));
  WriteSetting(kSet, "Proxy", OnOff(CheckBox1.Checked()));
  if (CheckBox1.Checked()) {
    WriteSetting(kSet, "Address", Edit3.Text());
    WriteSetting(kSet, "Port", Edit4.Text());
  }
  WriteSetting(kSet, "User", OnOff(CheckBox2.Checked()));
  if (CheckBox2.Checked()) {
    WriteSetting(kSet, "Name", Edit1.Text());
    WriteSetting(kSet, "Pass", ScramblePassword(Edit2.Text()));
  }
  WriteSetting(kSet, "Summer", OnOff(CheckBox3.Checked()));
  if (ComboBox2.ItemIndex() == 0)
    WriteSetting(kSet, "HTTPV", "pv1_1");
  else if (ComboBox2.ItemIndex() == 1)
    WriteSetting(kSet, "HTTPV", "pv1_0");
  WriteSetting(kSet, "Wait", OnOff(CheckBox4.Checked()));
  WriteSetting(kSet, "NonError", OnOff(CheckBox5.Checked()));
  WriteSetting(kSet, "Server", OnOff(CheckBox6.Checked()));
  if (CheckBox6.Checked())
    WriteSetting(kSet, "ServerTime", Edit5.Text());
  WriteSetting(kSet, "Gosa", OnOff(CheckBox7.Checked()));
  if (CheckBox7.Checked())
    WriteSetting(kSet, "GosaTime", Edit6.Text());
  if (ComboBox1.ItemIndex() == 0)
    WriteSetting(kSet, "Hosei", "-");
  else if (ComboBox1.ItemIndex() == 1)
    WriteSetting(kSet, "Hosei", "+");
  WriteSetting(kSet, "Hoseiti", Edit7.Text());
  // A file that never had the mode on stays as it was.
  if (P1.Checked() || !ReadSetting(kSet, "Precise", "").empty())
    WriteSetting(kSet, "Precise", OnOff(P1.Checked()));
  ShowMessage("設定を保存しました。");
}

void TForm1::SavePosition() {
  WriteSetting(kPosition, "Top", std::to_string(Top()));
  WriteSetting(kPosition, "Left", std::to_string(Left()));
}
