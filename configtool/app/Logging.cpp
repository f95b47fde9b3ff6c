#include "Logging.h"

Q_LOGGING_CATEGORY(lcConfigtool, "kaiwo.configtool", QtDebugMsg)
