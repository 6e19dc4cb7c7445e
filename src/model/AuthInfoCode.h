#pragma once

// The AuthInfo/EPP code the domains section offers to copy for a domain.

#include <QString>

namespace halvo {

/// A fixed prefix, the first six user-visible characters (grapheme clusters) of the upper-cased name and a
/// fixed suffix. A letter with its marks, a pair of surrogates or a flag counts as one and is never cut.
QString authInfoCode(const QString& domainName);

} // namespace halvo
