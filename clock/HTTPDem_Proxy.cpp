// The proxy group, the protocol version and the deviation limit: how the
// controls enable one another, and the browser's proxy taken over.
#include "clock/HTTPDem.h"

#include <optional>

#include "clock/ProxyImport.h"

void TForm1::CheckBox1Click(TObject*) {
  const bool on = CheckBox1.Checked();
  // The user name and password open with the proxy, whatever CheckBox2 says.
  for (TControl* control : {static_cast<TControl*>(&Label5), static_cast<TControl*>(&Label6),
                            static_cast<TControl*>(&Edit3), static_cast<TControl*>(&Edit4),
                            static_cast<TControl*>(&CheckBox2), static_cast<TControl*>(&Label2),
                            static_cast<TControl*>(&Label3), static_cast<TControl*>(&Edit1),
                            static_cast<TControl*>(&Edit2)})
    control->SetEnabled(on);
  if (on && Edit3.Text().empty())
    ImportBrowserProxy();
}

void TForm1::CheckBox2Click(TObject*) {
  const bool on = CheckBox2.Checked();
  for (TControl* control : {static_cast<TControl*>(&Label2), static_cast<TControl*>(&Label3),
                            static_cast<TControl*>(&Edit1), static_cast<TControl*>(&Edit2)})
    control->SetEnabled(on);
}

void TForm1::ComboBox2Change(TObject*) {
  // A text typed into the box selects no item and keeps the version.
  if (ComboBox2.ItemIndex() == 0)
    HttpVersion = "pv1_1";
  else if (ComboBox2.ItemIndex() == 1)
    HttpVersion = "pv1_0";
}

void TForm1::CheckBox7Click(TObject*) {
  Edit6.SetEnabled(CheckBox7.Checked());
  Label9.SetEnabled(CheckBox7.Checked());
}

void TForm1::ImportBrowserProxy() {
  const std::optional<TBrowserProxy> proxy = ReadBrowserProxy();
  if (!proxy)
    return;
  Edit3.SetText(proxy->Address);
  if (proxy->Port)
    Edit4.SetText(*proxy->Port);
}
