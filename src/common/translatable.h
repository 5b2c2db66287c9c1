#pragma once

/// Marks a text of the core for the window's translation tools, with the context the window
/// translates it in (lupdate -tr-function-alias QT_TRANSLATE_NOOP+=TRANSLATABLE); the core
/// itself uses the text as it stands.
#define TRANSLATABLE(context, text) text
