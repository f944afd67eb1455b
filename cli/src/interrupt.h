// SIGINT and SIGTERM ask the running job to stop; the normal clean-up then runs.
#pragma once

void InstallInterruptHandlers();
bool InterruptRequested();
