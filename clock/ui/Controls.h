// The retained control model. Every control keeps its whole state in the
// object; a backend peer (a real window) mirrors it and feeds user input
// back, and without a peer the same object works headless.
//
// Two ways into a control:
// - from code (SetChecked, SetText, Click...): state changes, the peer
//   follows, and an event handler run from here lets its error propagate to
//   the caller;
// - from the user (the User... methods, called by the backend or by tests
//   acting as the user): the state is taken over and the event runs as a
//   dispatch point, where the application catches any error and shows it
//   in the error report.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
};

// An event handler; Sender is the control (or form) that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Which part of a component's state changed, for its peer.
enum class TChange {
  Text,
  Enabled,
  Visible,
  Bounds,
  Hint,
  Checked,
  Items,
  ItemIndex,
  Position,
  Timer,
  WindowState,
};

// A component's backend object. It reads the state it needs from its
// component when told what changed.
class TPeer {
public:
  virtual ~TPeer() = default;
  virtual void Changed(TChange what) = 0;
};

class TForm;

// Something a form owns, with a design name. A component with an owner is
// given a peer when the owner gets its window, in creation order.
class TComponent : public TObject {
public:
  TComponent(TForm* owner, std::string name);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The toolkit class, also the window class of a control's window.
  virtual const char* ClassName() const = 0;
  const std::string& Name() const { return name_; }
  TForm* Owner() const { return owner_; }

  // Backend side.
  TPeer* Peer() const { return peer_.get(); }
  void SetPeer(std::unique_ptr<TPeer> peer) { peer_ = std::move(peer); }
  // The owner and its components have their windows now. A component that
  // works on its owner's window rather than through a window of its own
  // starts here.
  virtual void OwnerHandleCreated() {}

protected:
  void Changed(TChange what) {
    if (peer_)
      peer_->Changed(what);
  }

private:
  TForm* owner_;
  std::string name_;
  std::unique_ptr<TPeer> peer_;
};

// Runs a handler as a dispatch point: an error it raises is shown by the
// current application's error report and does not propagate.
void Dispatch(const std::function<void()>& handler);

// A visible control: position and size relative to its parent's client
// area, a text (caption), a hint shown as a tool tip, enabled and visible.
class TControl : public TComponent {
public:
  // The form itself has no parent; every other control names one (the form
  // or a panel) and is owned by the parent's form.
  TControl(TControl& parent, std::string name);

  TControl* Parent() const { return parent_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);

  const std::string& Text() const { return text_; }
  virtual void SetText(const std::string& text);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Backend side: the window moved, was sized or measured itself.
  void UserBounds(int left, int top, int width, int height);
  // Backend side: the focus moved from this control to another control of
  // its form (see TForm::UserFocused).
  virtual void UserExit() {}

protected:
  TControl(TForm& form, std::string name); // the form's own base

  void StoreText(const std::string& text) { text_ = text; }

private:
  TControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::string text_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
};

// A static text. With AutoSize (the default) the backend measures the text
// in the form's font and sets width and height; headless they stay as set.
class TLabel : public TControl {
public:
  TLabel(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}
  const char* ClassName() const override { return "TLabel"; }
  bool AutoSize = true;
};

class TButton : public TControl {
public:
  TButton(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}
  const char* ClassName() const override { return "TButton"; }

  // The form's default button: Enter clicks it. Set before the window exists.
  bool Default = false;
  TNotifyEvent OnClick;

  // Runs OnClick from code, whether or not the button is enabled.
  void Click();
  void UserClick();
};

class TCheckBox : public TControl {
public:
  TCheckBox(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}
  const char* ClassName() const override { return "TCheckBox"; }

  bool Checked() const { return checked_; }
  // A change of the check mark runs OnClick, exactly as a user's click does;
  // setting the state it already has runs nothing.
  void SetChecked(bool checked);
  TNotifyEvent OnClick;

  // The user toggled the box: the mark flips and OnClick runs.
  void UserClick();

private:
  bool checked_ = false;
};

class TEdit : public TControl {
public:
  TEdit(TControl& parent, std::string name);
  const char* ClassName() const override { return "TEdit"; }

  // Shown instead of every character when not 0, e.g. '*'.
  char PasswordChar = 0;
  // The input method is switched off for the field (single-byte input).
  bool InputMethodOff = false;
  // Every change of the text, from code or from the user.
  TNotifyEvent OnChange;
  // The focus moved from the field to another control of the form.
  TNotifyEvent OnExit;

  void SetText(const std::string& text) override;

  void UserText(const std::string& text);
  void UserExit() override;
};

enum class TComboBoxStyle { DropDown, DropDownList };

// A combo box. DropDown: an edit field with a list, the text is free and
// typing clears the index. DropDownList: no typing, the text is always the
// selected item's (empty with no index).
class TComboBox : public TControl {
public:
  TComboBox(TControl& parent, std::string name);
  const char* ClassName() const override { return "TComboBox"; }

  TComboBoxStyle Style = TComboBoxStyle::DropDown;
  // Rows shown by the opened list. Set before the window exists.
  int DropDownCount = 8;
  // The input method is switched off for the box (single-byte input).
  bool InputMethodOff = false;
  // The user chose an item or typed; changes from code raise none.
  TNotifyEvent OnChange;

  const std::vector<std::string>& Items() const { return items_; }
  // New items; the index becomes -1 (a drop-down list's text empties).
  void SetItems(std::vector<std::string> items);
  void AddItem(const std::string& item);

  // -1 = nothing selected; an index out of range also selects nothing.
  // The text becomes the item's, or empty for -1.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);

  // DropDown: the text as given, no index. DropDownList: selects the item
  // of exactly this text, or nothing.
  void SetText(const std::string& text) override;

  void UserSelect(int index);
  void UserText(const std::string& text);

private:
  void StoreIndex(int index);
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

enum class TPanelBevel { None, Raised, Lowered };

// A band that holds other controls; their positions are relative to it.
class TPanel : public TControl {
public:
  TPanel(TControl& parent, std::string name) : TControl(parent, std::move(name)) {}
  const char* ClassName() const override { return "TPanel"; }
  TPanelBevel Bevel = TPanelBevel::Raised;
};

// A status bar showing one simple text.
class TStatusBar : public TControl {
public:
  TStatusBar(TControl& parent, std::string name);
  const char* ClassName() const override { return "TStatusBar"; }

  const std::string& SimpleText() const { return Text(); }
  void SetSimpleText(const std::string& text) { SetText(text); }
};

// Arrow buttons stepping an integer, shown in the associated edit field.
class TUpDown : public TControl {
public:
  TUpDown(TControl& parent, std::string name);
  const char* ClassName() const override { return "TUpDown"; }

  // Set before the window exists.
  TEdit* Associate = nullptr;
  bool Thousands = true;
  bool Wrap = false;

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Kept within the range; the associated field shows it in decimal.
  void SetPosition(int position);

  void UserPosition(int position);

private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

// A window timer. Starting a stopped timer or giving it another interval
// restarts its count; starting a running one or giving the interval it has
// changes nothing. An interval of 0 never fires.
class TTimer : public TComponent {
public:
  TTimer(TForm& owner, std::string name);
  const char* ClassName() const override { return "TTimer"; }

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TNotifyEvent OnTimer;

  // One tick: runs OnTimer as a dispatch point.
  void Tick();
  // Headless time: lets the given time pass on the timer's count and ticks
  // for every full interval (the backend's timers tick by themselves).
  void Elapse(unsigned milliseconds);

private:
  unsigned interval_ = 1000;
  bool enabled_ = true;
  unsigned elapsed_ = 0;
};

// A menu item; the caption "-" makes a separator. "&" marks the access key.
// The hint is stored only.
class TMenuItem : public TObject {
public:
  TMenuItem(std::string name, std::string caption, std::string hint = "");

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Hint() const { return hint_; }
  bool IsSeparator() const { return caption_ == "-"; }
  // The check mark, shown the next time the menu opens.
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  TNotifyEvent OnClick;

  // Adds a sub-item at the end and returns it. Menus are complete before
  // their form gets its window.
  TMenuItem& Add(std::string name, std::string caption, std::string hint = "");
  const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }
  // The item of that name in this tree, or nullptr.
  TMenuItem* Find(const std::string& name);

  void Click();
  void UserClick();

private:
  std::string name_;
  std::string caption_;
  std::string hint_;
  bool checked_ = false;
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The form's menu bar; its items are the menus.
class TMainMenu : public TComponent {
public:
  TMainMenu(TForm& owner, std::string name);
  const char* ClassName() const override { return "TMainMenu"; }
  TMenuItem Items;
};

class TPopupMenu : public TComponent {
public:
  TPopupMenu(TForm& owner, std::string name);
  const char* ClassName() const override { return "TPopupMenu"; }
  TMenuItem Items;

  // Shows the menu at the screen point and returns when it closes; the
  // chosen item's OnClick runs as a dispatch point.
  void Popup(int x, int y);
};
