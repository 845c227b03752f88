#pragma once

namespace korvel {

// Keeps the memory a large result set had once it is freed, for the next one. The C
// library otherwise hands the freed top of its heap back to the system, and the next large
// read takes every page again from the kernel, one fault per page: on a virtual machine that
// cost more than reading the rows themselves. The peak a process reaches is unchanged; up to
// 256 MiB of it is only kept. Called first thing by the programs.
void keepFreedMemoryForReuse();

} // namespace korvel
