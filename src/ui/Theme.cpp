#include "ui/Theme.h"

namespace halvo::theme {

void install() {}

} // namespace halvo::theme
