// Base64 as RFC 2045 defines it, for the Basic credentials.
#pragma once

#include <string>

std::string EncodeBase64(const std::string& bytes);
