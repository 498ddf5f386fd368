#include "site_pages.h"

#include "html.h"

namespace sorvo::demo {

namespace {

constexpr std::string_view style = R"css(body { margin: 0; background: #f4f4f4; color: #333;
  font: 14px/1.7 "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; }
.top { background: #2b2b2b; color: #ff8a1e; padding: 14px 0; }
.top div, main { width: 760px; margin: 0 auto; }
.top b { font-size: 20px; letter-spacing: 2px; }
.top span { color: #999; margin-left: 14px; }
main { background: #fff; margin-top: 24px; padding: 24px 32px; border-radius: 6px;
  box-shadow: 0 1px 4px #0002; box-sizing: border-box; }
h1 { margin: 0 0 12px; font-size: 22px; font-weight: normal; }
.source { margin-top: 20px; padding: 10px 14px; background: #fff7ef; border-left: 3px solid #ff8a1e; }
.source code { font-size: 13px; color: #b35600; }
ul { padding-left: 20px; }
a { color: #d06a00; }
)css";

std::string document(const std::string& title, std::string_view content) {
    std::string body =
        "<div class=\"top\"><div><b>索沃电台</b><span>本地演示服务</span></div></div>\n";
    body.append("<main>\n").append(content).append("</main>\n");
    return htmlDocument(title, style, body);
}

} // namespace

std::vector<SitePage> sitePages(const std::string& tencentPath) {
    return {
        {"/", "官方网站", "索沃电台官方网站",
         "<p>中国首款320kbps高音质在线电台。</p>\n<ul>\n"
         "<li><a href=\"/diantai/\">网页版电台</a></li>\n"
         "<li><a href=\"/sorvo_beta1.2/sc.html\">上传作品</a></li>\n</ul>\n"},
        {"/diantai/", "网页版电台", "网页版电台",
         "<p>不装客户端，也能在浏览器里收听索沃电台。</p>\n"
         "<p><a href=\"/diantai/sorvo/\">进入电台 →</a></p>\n"},
        {"/sorvo_beta1.2/sc.html", "上传作品", "上传作品",
         "<p>欢迎上传你的原创音乐作品，审核通过后将在电台播出。</p>\n"
         "<p>本演示服务不接收上传文件。</p>\n"},
        {"/forum.php", "索沃论坛", "索沃论坛",
         "<ul>\n<li>【公告】索沃电台 1.2 正式版发布</li>\n<li>【交流】你最喜欢哪个频道？</li>\n"
         "<li>【分享】深夜必听的爵士歌单</li>\n</ul>\n"},
        {"/vandrthread-331-1-1.html", "意见反馈", "意见反馈专帖",
         "<p>使用中遇到问题或有好的建议，请在本帖回复，我们会尽快处理。</p>\n"},
        {"/sorvo/", "官方新浪微博", "索沃电台的微博",
         "<p>关注我们，第一时间获取新频道和版本更新的消息。</p>\n"},
        {tencentPath, "官方腾讯微博", "索沃电台的微博", "<p>关注我们，收听每日推荐节目。</p>\n"},
    };
}

std::string renderSitePage(const SitePage& page, std::string_view src, std::string_view host) {
    std::string content = "<h1>" + page.heading + "</h1>\n" + page.body;
    content += "<div class=\"source\">这是托盘菜单“" + page.caption + "”打开的页面<br>\n";
    content += "地址：<code>" + escapeHtml(host) + escapeHtml(page.path) + "</code><br>\n";
    content += "来源参数 src：<code>" + (src.empty() ? std::string("（无）") : escapeHtml(src)) +
               "</code></div>\n";
    return document(page.heading + " - 索沃电台", content);
}

std::string notFoundPage(std::string_view path) {
    return document("页面不存在 - 索沃电台",
                    "<h1>404 页面不存在</h1>\n<p>找不到 <code>" + escapeHtml(path) +
                        "</code>。</p>\n<p><a href=\"/\">返回首页</a></p>\n");
}

std::string unavailablePage() {
    return document("暂停服务 - 索沃电台",
                    "<h1>503 暂停服务</h1>\n<p>电台页面暂时不可用，请稍后再来。</p>\n");
}

} // namespace sorvo::demo
