#include <windows.h>
#include <mmsystem.h>

#include "clock/platform/Sounds.h"

namespace platform {
namespace {

static_assert(kSoundAsyncAliasNoDefault == (SND_ALIAS | SND_ASYNC | SND_NODEFAULT),
              "the flags name the alias, asynchronous, no default sound");

class TWin32Sounds : public TSounds {
public:
  void Play(const std::string& name, std::uint32_t flags) override {
    PlaySoundA(name.c_str(), nullptr, flags);
  }
};

} // namespace

template <> TSounds* TSeam<TSounds>::Platform() {
  static TWin32Sounds sounds;
  return &sounds;
}

} // namespace platform
