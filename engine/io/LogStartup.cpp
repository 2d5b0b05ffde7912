#include "engine/io/LogStartup.h"

#include "engine/base/DebugOutput.h"
#include "engine/base/Logger.h"
#include "engine/io/DebugConsoleLog.h"
#include "engine/io/FileLog.h"
#include "engine/io/LogException.h"

#include <memory>

namespace Ostrel {

bool AddStandardLogProviders(Logger& logger, const std::string& logPath) {
    bool fileOpen = false;
    try {
        logger.AddProvider(std::make_unique<FileLog>(logPath, std::ios_base::app));
        fileOpen = true;
    } catch (const LogException& error) {
        WriteDebugOutput(std::string(error.what()) + "\n");
    }
    logger.AddProvider(std::make_unique<DebugConsoleLog>());
    return fileOpen;
}

}  // namespace Ostrel
