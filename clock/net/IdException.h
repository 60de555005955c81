// The HTTP client's failures. Every class derives from EIdException; the
// socket-level ones carry the Winsock error number beside the message.
#pragma once

#include <string>

#include "clock/Exceptions.h"

class EIdException : public Exception {
public:
  using Exception::Exception;
};

// "Socket Error # N\r\n" and the number's text.
std::string SocketErrorMessage(int lastError);
// The text for one Winsock error number; empty for a number we do not know.
std::string SocketErrorText(int lastError);

// Resolving, sending or receiving failed.
class EIdSocketError : public EIdException {
public:
  explicit EIdSocketError(int lastError)
      : EIdException(SocketErrorMessage(lastError)), LastError(lastError) {}
  int LastError;
};

// The TCP connect failed. Not an EIdSocketError: the time update catches
// that one alone and must let connect failures through.
class EIdConnectException : public EIdException {
public:
  explicit EIdConnectException(int lastError)
      : EIdException(SocketErrorMessage(lastError)), LastError(lastError) {}
  int LastError;
};

class EIdConnectTimeout : public EIdException {
public:
  EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

// A status other than 2xx; the message is the status line as received.
class EIdHTTPProtocolException : public EIdException {
public:
  EIdHTTPProtocolException(const std::string& statusLine, int errorCode)
      : EIdException(statusLine), ErrorCode(errorCode) {}
  int ErrorCode;
  std::string ErrorMessage;
};

class EIdConnClosedGracefully : public EIdException {
public:
  EIdConnClosedGracefully() : EIdException("Connection Closed Gracefully.") {}
};

class EIdReadLnMaxLineLengthExceeded : public EIdException {
public:
  EIdReadLnMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

// More of a response head than the client holds; real heads are far
// smaller.
class EIdResponseHeadTooLarge : public EIdException {
public:
  EIdResponseHeadTooLarge() : EIdException("Response head too large.") {}
};

class EIdReadTimeout : public EIdException {
public:
  EIdReadTimeout() : EIdException("Read Timeout") {}
};

// The socket library or one of its functions is not there.
class EIdWS2StubError : public EIdException {
public:
  using EIdException::EIdException;
};
