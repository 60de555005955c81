// Splits a URL into the parts the client sends and connects to.
#pragma once

#include <string>

struct TIdURI {
  std::string Protocol;
  std::string Host;
  std::string Port; // "80" when the URL gives none
  std::string Path; // begins and ends with "/"
  std::string Document;
  std::string Params; // the query with its leading "?" (or "=")

  // Path + document + query; "/" for a bare host.
  std::string Target() const { return Path + Document + Params; }
};

TIdURI ParseURI(const std::string& url);
