// Text from a TrueType face rendered into glyph images at one pixel size.
// Until a font is set, text draws nothing and measures 0.
#pragma once

#include <memory>
#include <string>

namespace media {

struct font;
using font_ref = std::shared_ptr<font>;

enum font_style : int { font_smooth = 4 };

// Renders the face at `size` pixels (smaller sizes are tried if the face refuses it).
// nullptr when the source is missing or not a face.
font_ref load_image_font(const std::string& source, int size, int style);
void set_image_font(const font_ref& f);
void draw_text(const std::string& text, float x, float y);  // (x, y): top-left of the line
int text_width(const std::string& text);  // unscaled, truncated after each character
int text_height();                        // line height in whole pixels

}  // namespace media
