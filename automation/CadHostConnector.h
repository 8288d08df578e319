// The connector that reaches the user's CAD host over its local socket: attach to the running host,
// or start it from the program's folder. It is the default connector of ConnectToAutoCad.
#pragma once

#include "automation/CadConnection.h"

namespace automation {

// `startTimeoutMs`: how long a started host may take to answer; `socketName` empty: the user's own.
CadConnector CadHostConnector(int startTimeoutMs = 20000, const QString& socketName = QString());

}  // namespace automation
