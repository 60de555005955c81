// The clock program's own registration as the NT service "Velmo". The
// program never reports to the service control manager; the registration
// only records it. Every failure ends in one of two messages, shown through
// showMessage; nothing is thrown.
#pragma once

#include <functional>
#include <string>

using TShowMessage = std::function<void(const std::string& text)>;

// Shows "既にサービス登録されています。" when no service resulted.
void InstallService(const TShowMessage& showMessage);
// Shows "サービス登録はされていません。" when there was none to remove.
void RemoveService(const TShowMessage& showMessage);
