// The program's resource script and its identifiers header, built into the
// tool, so that what it writes and checks follows the program's texts.
#pragma once

extern const char kProgramResourceScript[];
extern const char kProgramResourceIds[];
