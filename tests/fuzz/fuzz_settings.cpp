// Any bytes as bralun.ini: no crash, every value in its range, and what is written back reads
// back the same.
#include "config/module1.h"
#include "config/settingsfile.h"
#include "platform/twips.h"

#include <cstdint>
#include <cstdlib>
#include <tuple>

namespace {

auto settings() {
    using namespace Module1;
    return std::make_tuple(HiScore, MusicOn, SoundOn, SortHai, UpsideDownHai, TimeLimit, NotenOK,
                           KeyShortcuts);
}

void require(bool ok) {
    if (!ok) std::abort();
}

bool flag(std::int16_t value) {
    return value == 0 || value == 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Module1;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto position = SettingsFile::parse(text);
    require(flag(MusicOn) && flag(SoundOn) && flag(SortHai) && flag(UpsideDownHai) && flag(NotenOK) &&
            flag(KeyShortcuts));
    require(TimeLimit >= 150 && TimeLimit <= 600);
    const SettingsFile::Position place = position.value_or(SettingsFile::Position{});
    // The window is placed from these and read back; neither way may overflow.
    for (const std::int32_t twips : {place.left, place.top}) {
        const int pixels = platform::px(twips);
        require((twips < 0) == (platform::twips(pixels) < 0) || pixels == 0);
    }

    const auto read = settings();
    const QByteArray written = SettingsFile::line(place.left, place.top);
    const auto again = SettingsFile::parse(written);
    require(again.has_value() && again->left == place.left && again->top == place.top);
    require(settings() == read);
    return 0;
}
