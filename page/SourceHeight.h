#pragma once

#include "page/HtmlPage.h"

#include <optional>

// The height in lines that a <source> element tells of its video, by the
// first of these it carries: size, res or data-res ("720", "720p"), a label
// such as "720p" or "HD 1080p", a media query with a height
// ("(min-height: 720px)"). Nothing when it tells none, or a height beyond
// any screen's.
std::optional<int> SourceHeight(const THtmlAttributes& source);
