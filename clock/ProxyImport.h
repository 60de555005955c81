// Taking over the web browser's proxy from its registry value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

extern const char InternetSettingsKey[]; // under HKEY_CURRENT_USER
extern const char ProxyServerValue[];

struct TBrowserProxy {
  std::string Address;
  // Nothing when the value names no port: the port field keeps its text.
  std::optional<std::string> Port;
};

// The HTTP proxy of a ProxyServer text: the entry after the first "http="
// (case-sensitive) when there is one, cut at the first ";", split at the
// first ":".
TBrowserProxy SplitProxyServer(std::string_view value);

// Reads ProxyServer and splits it; nothing when the key cannot be opened or
// the value is missing or empty. A value of another type fails with
// Exception "'ProxyServer' のデータ型が不正です".
std::optional<TBrowserProxy> ReadBrowserProxy();
