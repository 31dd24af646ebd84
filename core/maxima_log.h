// "log.txt": the run's temperature maxima, written when Quellor ends.
#pragma once

namespace MaximaLog {

// Replaces "log.txt" in the current directory with the record of monitorState. When the
// file cannot be opened, nothing is written and nobody is told: Quellor is on its way out.
void write();

} // namespace MaximaLog
