#pragma once

namespace faceto {

// The editor's version, as the About box and `faceto --version` show it.
inline constexpr const char* VERSION = "2.0b1";

} // namespace faceto
