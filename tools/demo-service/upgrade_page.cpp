#include "upgrade_page.h"

#include "html.h"

#include <cstdio>
#include <string_view>

namespace sorvo::demo {

namespace {

constexpr std::string_view style =
    R"css(html, body { margin: 0; width: 350px; height: 80px; overflow: hidden; }
body { box-sizing: border-box; padding: 5px 9px; background: linear-gradient(#fdfdfd, #eef3f8);
  color: #444; font: 12px/16px "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; }
h1 { margin: 0; font-size: 13px; line-height: 17px; color: #222; }
h1 em { font-style: normal; font-size: 11px; color: #fff; background: #ff8a1e;
  border-radius: 3px; padding: 0 4px; margin-left: 4px; vertical-align: 1px; }
.version { color: #e06c00; }
ul { margin: 1px 0 0; padding: 0; list-style: none; white-space: nowrap; }
li::before { content: "· "; color: #ff8a1e; }
)css";

constexpr std::string_view news = R"html(<ul>
<li>全新音质引擎，320kbps 播放更流畅</li>
<li>新增频道收藏，下载支持断点续传</li>
</ul>
)html";

} // namespace

std::string upgradePage(std::int64_t packageSize) {
    char version[160];
    std::snprintf(version, sizeof version,
                  "<div class=\"version\">当前版本 1.0 → 最新版本 1.2　升级包 %.2fM</div>\n",
                  static_cast<double>(packageSize) / 1048576.0);
    const std::string body =
        "<h1>索沃电台 1.2 正式版<em>新版本</em></h1>\n" + std::string(version) + std::string(news);
    return htmlDocument("索沃电台升级说明", style, body);
}

} // namespace sorvo::demo
