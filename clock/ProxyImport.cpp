#include "clock/ProxyImport.h"

#include "clock/Exceptions.h"
#include "clock/TextCp932.h"
#include "clock/platform/Registry.h"

const char InternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char ProxyServerValue[] = "ProxyServer";

TBrowserProxy SplitProxyServer(std::string_view value) {
  constexpr std::string_view httpEntry = "http=";
  const size_t entry = FindText(value, httpEntry);
  if (entry != std::string_view::npos)
    value.remove_prefix(entry + httpEntry.size());
  value = value.substr(0, FindText(value, ";"));

  TBrowserProxy proxy;
  const size_t colon = FindText(value, ":");
  if (colon == std::string_view::npos) {
    // A host without a port is still the proxy's address; the port field
    // keeps what it had rather than receiving a host name.
    proxy.Address = std::string(value);
    return proxy;
  }
  proxy.Address = std::string(value.substr(0, colon));
  proxy.Port = std::string(value.substr(colon + 1));
  return proxy;
}

std::optional<TBrowserProxy> ReadBrowserProxy() {
  const platform::TRegistryText read =
      platform::Registry().ReadCurrentUserText(InternetSettingsKey, ProxyServerValue);
  switch (read.Status) {
  case platform::TRegistryText::OtherType:
    throw Exception(std::string("'") + ProxyServerValue + "' のデータ型が不正です");
  case platform::TRegistryText::Found:
    if (!read.Text.empty())
      return SplitProxyServer(read.Text);
    return std::nullopt;
  case platform::TRegistryText::KeyUnavailable:
  case platform::TRegistryText::Missing:
    break;
  }
  return std::nullopt;
}
