#pragma once

// The look of an action button and of a confirmation; the theme gives each variant its colours.

enum class HalvoButtonVariant { primary, success, warning, danger, purple, secondary };
