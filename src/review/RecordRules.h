// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string_view>

#include "base/DateTime.h"
#include "review/CatalogLookups.h"
#include "review/ReportText.h"

namespace ordano::review {

// What the record rules of every answer kind write to and look up in.
struct RenderContext {
    ReportText& out;
    CatalogLookups& catalog;
    const LocaleFormats& locale;
};

// One line of an answer file (its raw Windows-1252 bytes, without the line end) appended to
// the report. No rule throws on a line it cannot make sense of: missing fields are shown
// empty and the lookup that would need them is not made.
using LineRule = void (*)(std::string_view line, RenderContext& context);

void render_m_line(std::string_view line, RenderContext& context);  // SaaiAnswer.cpp
void render_t_line(std::string_view line, RenderContext& context);  // TcdAnswers.cpp
void render_c_line(std::string_view line, RenderContext& context);
void render_d_line(std::string_view line, RenderContext& context);
void render_a_line(std::string_view line, RenderContext& context);  // PaymentAnswers.cpp
void render_r_line(std::string_view line, RenderContext& context);
void render_x_line(std::string_view line, RenderContext& context);  // XpqAnswers.cpp
void render_p_line(std::string_view line, RenderContext& context);
void render_q_line(std::string_view line, RenderContext& context);

}  // namespace ordano::review
