#pragma once

namespace faceto {

// The editor's version, as the About box and `faceto --version` show it.
inline constexpr const char* VERSION = "2.0b1";

// The program's web page: its README and everything else.
inline constexpr const char* HOMEPAGE = "https://github.com/faceto/faceto";

} // namespace faceto
