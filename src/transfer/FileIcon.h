// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace ordano {

// Image numbers of the main window's image list used by the lists.
namespace image {
inline constexpr int kNone = 0;
inline constexpr int kPrevalidationAnswer = 1;
inline constexpr int kValidation = 2;
inline constexpr int kSagarpa = 8;
inline constexpr int kPaymentOther = 10;
inline constexpr int kP = 13;
}  // namespace image

// An image number as the lists' column "Icono" and the journal hold it: "" for none. Text that
// is empty or not a number is no icon.
[[nodiscard]] std::string icon_text(int image);
[[nodiscard]] int icon_of_text(std::string_view text);

// The icon of a file the user adds to the send list, by its kind; for an electronic-payment
// file, by the payment code of its first line in the payment send folder. kNone for no icon.
[[nodiscard]] int icon_for_file(std::string_view name, const std::filesystem::path& pag_env);

// The image of a payment code read from characters 3 and 4 of a payment file's first line;
// a code that is not a number counts as any other number.
[[nodiscard]] int payment_code_image(std::string_view first_line);

}  // namespace ordano
