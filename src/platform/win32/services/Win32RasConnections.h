#pragma once

#include <vector>

#include "platform/Services.h"
#include "platform/win32/services/RasLibrary.h"

namespace kestrove::win32 {

class Win32RasConnections final : public RasConnectionService {
  public:
    explicit Win32RasConnections(RasLibrary& ras);
    ~Win32RasConnections() override;
    bool connections(std::vector<RasConnection>& connections) override;
    std::string errorText(std::uint32_t error) override;

  private:
    struct Record;
    RasLibrary& ras_;
    std::vector<Record> records_;  // reused by every call, grown when the service asks for more room
};

}  // namespace kestrove::win32
