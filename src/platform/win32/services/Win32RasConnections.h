#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32RasConnections final : public RasConnectionService {
  public:
    bool connections(std::vector<RasConnection>& connections) override;
};

}  // namespace kestrove::win32
