// What the sample writes to the log: its help text and the blur quality
// announcements. The texts are the sample's own and stay in Russian in
// both languages.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::array<std::u16string_view, 17> kTessel01HelpText = {
    u" ",
    u"/------------------------------------------------/",
    u"  \"~\" - включает/выключает консоль сообщений",
    u"  Колесо мыши - меняет яркость",
    u"  Пробел - устанавливает яркость в единицу",
    u"     (фильтр при этом выключается).",
    u"  \"1\" - полноэкранный 640х480",
    u"  \"2\" - полноэкранный 800х600",
    u"  \"3\" - полноэкранный 1024х768",
    u"  \"Enter\" - оконный режим.",
    u"  \"4\"..\"6\" - переключают качество заблюривания",
    u"     (настройка действенна, как зонтик для рыбы)",
    u"  \"Esc\" - выход",
    u"  ",
    u"  Для просмотра FPS'ов юзайте FRAPS",
    u"     (собственный индикатор я пока не доделал)",
    u"/------------------------------------------------/",
};

// The announcement of blur quality 1 to 3; empty for any other value.
std::u16string_view QualityAnnouncement(int32_t quality);
