#pragma once

// The windows are designed for the family "Microsoft Yahei". Where that font
// is not installed, the toolkit is told to use a similar CJK sans-serif
// family instead, so that Chinese and Latin text share one face rather than
// falling back glyph by glyph. Call before the first text is laid out.
void addFontSubstitutes();
