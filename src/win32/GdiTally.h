#pragma once

// Live counts of what the host creates from the system (GDI objects, memory and window DCs, icons),
// so a soak run can prove nothing grows even where the system's own counters are not available.
enum class GdiKind { Object, MemoryDc, WindowDc, Icon, Count };

namespace GdiTally {
void Add(GdiKind kind);
void Remove(GdiKind kind);
long Live(GdiKind kind);
long LiveTotal();
}  // namespace GdiTally
