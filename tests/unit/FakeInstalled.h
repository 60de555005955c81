// Base of the platform fakes: installs itself in the seam for its lifetime.
#pragma once

#include "clock/platform/Seam.h"

template <typename Interface> class TFakeInstalled : public Interface {
public:
  TFakeInstalled() { platform::TSeam<Interface>::Install(this); }
  ~TFakeInstalled() override { platform::TSeam<Interface>::Install(nullptr); }
  TFakeInstalled(const TFakeInstalled&) = delete;
  TFakeInstalled& operator=(const TFakeInstalled&) = delete;
};
