#pragma once

namespace faceto {

// Whether the large blocks of a load or a save (file buffers, frame memory) ask the kernel for
// transparent huge pages. Fewer page faults fill them, but a first touch of fresh huge pages, which the
// kernel must find and clear 2 MiB at a time, is slower for a one-shot load after a pause. Off by
// default; FACETO_HUGE_PAGES=1 in the environment asks for them, and the benchmarks set both.
bool hugePagesWanted();
void setHugePagesWanted(bool wanted);

} // namespace faceto
