#include "clock/ui/Controls.h"

#include <algorithm>

#include "clock/ui/Forms.h"

TComponent::TComponent(TForm* owner, std::string name) : owner_(owner), name_(std::move(name)) {
  if (owner_)
    owner_->Register(*this);
}

TComponent::~TComponent() {
  // The peer goes first: its window must not report to a half-gone owner.
  peer_.reset();
  if (owner_)
    owner_->Unregister(*this);
}

void Dispatch(const std::function<void()>& handler) {
  if (HasApplication())
    Application().HandleEvent(handler);
  else
    handler();
}

namespace {
TForm* FormOf(TControl& parent) {
  return parent.Parent() ? parent.Owner() : static_cast<TForm*>(&parent);
}
} // namespace

TControl::TControl(TControl& parent, std::string name)
    : TComponent(FormOf(parent), std::move(name)), parent_(&parent) {}

TControl::TControl(TForm&, std::string name) : TComponent(nullptr, std::move(name)) {}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_)
    return;
  UserBounds(left, top, width, height);
  Changed(TChange::Bounds);
}

void TControl::UserBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void TControl::SetText(const std::string& text) {
  if (text == text_)
    return;
  text_ = text;
  Changed(TChange::Text);
}

void TControl::SetHint(const std::string& hint) {
  if (hint == hint_)
    return;
  hint_ = hint;
  Changed(TChange::Hint);
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  Changed(TChange::Enabled);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_)
    return;
  visible_ = visible;
  Changed(TChange::Visible);
}

void TButton::Click() {
  if (OnClick)
    OnClick(this);
}

void TButton::UserClick() {
  Dispatch([this] { Click(); });
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_)
    return;
  checked_ = checked;
  Changed(TChange::Checked);
  if (OnClick)
    OnClick(this);
}

void TCheckBox::UserClick() {
  Dispatch([this] { SetChecked(!checked_); });
}

TEdit::TEdit(TControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetBounds(0, 0, 121, 20);
}

void TEdit::SetText(const std::string& text) {
  if (text == Text())
    return;
  TControl::SetText(text);
  if (OnChange)
    OnChange(this);
}

void TEdit::UserText(const std::string& text) {
  if (text == Text())
    return;
  StoreText(text);
  Dispatch([this] {
    if (OnChange)
      OnChange(this);
  });
}

void TEdit::UserExit() {
  Dispatch([this] {
    if (OnExit)
      OnExit(this);
  });
}

TComboBox::TComboBox(TControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetBounds(0, 0, 145, 20);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  if (Style == TComboBoxStyle::DropDownList)
    StoreText("");
  Changed(TChange::Items);
}

void TComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed(TChange::Items);
}

void TComboBox::StoreIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    index = -1;
  itemIndex_ = index;
  StoreText(index < 0 ? std::string() : items_[index]);
}

void TComboBox::SetItemIndex(int index) {
  StoreIndex(index);
  Changed(TChange::ItemIndex);
}

void TComboBox::SetText(const std::string& text) {
  if (Style == TComboBoxStyle::DropDownList) {
    auto found = std::find(items_.begin(), items_.end(), text);
    SetItemIndex(found == items_.end() ? -1 : static_cast<int>(found - items_.begin()));
    return;
  }
  itemIndex_ = -1;
  StoreText(text);
  Changed(TChange::Text);
}

void TComboBox::UserSelect(int index) {
  StoreIndex(index);
  Dispatch([this] {
    if (OnChange)
      OnChange(this);
  });
}

void TComboBox::UserText(const std::string& text) {
  itemIndex_ = -1;
  StoreText(text);
  Dispatch([this] {
    if (OnChange)
      OnChange(this);
  });
}

TStatusBar::TStatusBar(TControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetBounds(0, 0, 0, 20);
}

TUpDown::TUpDown(TControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetBounds(0, 0, 16, 20);
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  Changed(TChange::Position);
  SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
  position = std::max(min_, std::min(max_, position));
  if (Associate)
    Associate->SetText(std::to_string(position));
  if (position == position_)
    return;
  position_ = position;
  Changed(TChange::Position);
}

void TUpDown::UserPosition(int position) {
  position_ = std::max(min_, std::min(max_, position));
}

TTimer::TTimer(TForm& owner, std::string name) : TComponent(&owner, std::move(name)) {}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == interval_)
    return;
  interval_ = milliseconds;
  elapsed_ = 0;
  Changed(TChange::Timer);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_)
    return;
  enabled_ = enabled;
  elapsed_ = 0;
  Changed(TChange::Timer);
}

void TTimer::Tick() {
  Dispatch([this] {
    if (OnTimer)
      OnTimer(this);
  });
}

void TTimer::Elapse(unsigned milliseconds) {
  while (enabled_ && interval_ > 0 && milliseconds > 0) {
    unsigned step = std::min(milliseconds, interval_ - elapsed_);
    elapsed_ += step;
    milliseconds -= step;
    if (elapsed_ == interval_) {
      elapsed_ = 0;
      Tick();
    }
  }
}

TMenuItem::TMenuItem(std::string name, std::string caption, std::string hint)
    : name_(std::move(name)), caption_(std::move(caption)), hint_(std::move(hint)) {}

TMenuItem& TMenuItem::Add(std::string name, std::string caption, std::string hint) {
  items_.push_back(
      std::make_unique<TMenuItem>(std::move(name), std::move(caption), std::move(hint)));
  return *items_.back();
}

TMenuItem* TMenuItem::Find(const std::string& name) {
  if (name_ == name)
    return this;
  for (auto& item : items_)
    if (TMenuItem* found = item->Find(name))
      return found;
  return nullptr;
}

void TMenuItem::Click() {
  if (OnClick)
    OnClick(this);
}

void TMenuItem::UserClick() {
  Dispatch([this] { Click(); });
}

TMainMenu::TMainMenu(TForm& owner, std::string name)
    : TComponent(&owner, std::move(name)), Items(Name(), "") {}

TPopupMenu::TPopupMenu(TForm& owner, std::string name)
    : TComponent(&owner, std::move(name)), Items(Name(), "") {}

void TPopupMenu::Popup(int x, int y) {
  Application().Backend().Popup(*this, x, y);
}
