#include "radio_page.h"

#include "artwork.h"
#include "html.h"

namespace sorvo::demo {

namespace {

constexpr std::string_view style = R"css(html, body { margin: 0; height: 450px; overflow: hidden; }
body { background: #232323; color: #d8d8d8; user-select: none;
  font: 13px "Noto Sans CJK SC", "Microsoft YaHei", sans-serif; }
.page { width: 940px; margin: 0 auto; padding-top: 24px; }
header { height: 40px; display: flex; align-items: center; justify-content: space-between; }
.brand { font-size: 20px; font-weight: bold; color: #ff8a1e; letter-spacing: 2px; }
.brand small { font-size: 12px; font-weight: normal; color: #8a8a8a; margin-left: 12px; letter-spacing: 0; }
.clock { color: #8a8a8a; }
.clock b { color: #d8d8d8; font-weight: normal; }
main { height: 300px; display: grid; grid-template-columns: 210px 1fr 230px; gap: 12px; }
.panel { background: #2c2c2c; border: 1px solid #363636; border-radius: 6px; overflow: hidden; }
.panel h2 { margin: 0; padding: 9px 14px; font-size: 13px; color: #a0a0a0;
  border-bottom: 1px solid #363636; font-weight: normal; }
.channel { padding: 6px 14px 6px 11px; line-height: 1.4; border-left: 3px solid transparent; cursor: pointer; }
.channel:hover { background: #333; }
.channel.on { border-left-color: #ff8a1e; background: #353535; }
.channel span { display: block; color: #eee; }
.channel small { color: #888; }
.player { display: flex; align-items: center; gap: 22px; padding: 0 22px;
  background: linear-gradient(160deg, #323232, #262626); }
.disc { flex: none; width: 160px; height: 160px; border-radius: 50%;
  background:
    radial-gradient(circle at 50% 40%, #fff 0 3px, transparent 3.5px),
    radial-gradient(circle, #ff8a1e 0 17%, #111 17.5% 19%, transparent 19.5%),
    conic-gradient(#fff0, #ffffff12 15%, #fff0 30%, #fff0 50%, #ffffff12 65%, #fff0 80%),
    repeating-radial-gradient(circle, #1a1a1a 0 2px, #242424 2px 4px);
  box-shadow: 0 0 0 4px #3a3a3a, 0 6px 18px #0008;
  animation: spin 6s linear infinite paused; }
@keyframes spin { to { transform: rotate(360deg); } }
.now { flex: 1; min-width: 0; }
.now .label { color: #ff8a1e; font-size: 12px; }
.now h1 { margin: 4px 0 2px; font-size: 24px; color: #f2f2f2; font-weight: normal; }
.now p { margin: 0; color: #8a8a8a; }
.bars { height: 34px; display: flex; align-items: flex-end; gap: 3px; margin: 14px 0; }
.bars i { width: 6px; height: 4px; background: #ff8a1e; border-radius: 1px; opacity: .85;
  animation: bounce 0.9s ease-in-out infinite alternate paused; }
.playing .bars i { animation-play-state: running; }
@keyframes bounce { to { height: 32px; } }
.controls { display: flex; align-items: center; gap: 12px; }
.controls button { border: 0; color: #eee; background: #3a3a3a; border-radius: 50%;
  width: 32px; height: 32px; padding: 0; flex: none; font-size: 13px; cursor: pointer; }
.controls button:hover { background: #474747; }
.controls #toggle { width: 44px; height: 44px; background: #ff8a1e; color: #1d1d1d; font-size: 16px; }
.volume { display: flex; align-items: center; gap: 6px; margin-left: 4px; color: #aaa; }
.volume span { width: 26px; cursor: pointer; }
.volume input { width: 80px; accent-color: #ff8a1e; }
.status { margin-top: 10px; color: #8a8a8a; font-size: 12px; }
.info { padding: 0 14px; line-height: 1.7; color: #a8a8a8; }
.info p { margin: 10px 0; }
.info b { color: #ddd; font-weight: normal; }
footer { height: 24px; margin-top: 12px; color: #666; font-size: 12px; text-align: center; }
)css";

constexpr std::string_view top = R"html(<div class="page">
<header>
  <div class="brand">索沃电台<small>中国首款320kbps高音质在线电台</small></div>
  <div class="clock">本次收听 <b id="listened">00:00</b></div>
</header>
<main>
<section class="panel">
<h2>频道</h2>
)html";

constexpr std::string_view bottom = R"html(</section>
<section class="panel player">
  <div class="disc"></div>
  <div class="now">
    <div class="label">正在播放 · <span id="channel-name"></span></div>
    <h1 id="programme"></h1>
    <p id="description"></p>
    <div class="bars"></div>
    <div class="controls">
      <button id="previous" title="上一个频道">◀◀</button>
      <button id="toggle" title="播放/暂停">▶</button>
      <button id="next" title="下一个频道">▶▶</button>
      <label class="volume"><span id="speaker" title="静音/取消静音">音量</span>
        <input id="volume" type="range" min="0" max="100" value="80" title="音量"></label>
    </div>
    <div class="status" id="status">正在连接…</div>
  </div>
</section>
<section class="panel">
<h2>收听指南</h2>
<div class="info">
  <p><b>切换频道</b>：点击左侧列表，或使用 ◀◀ ▶▶。</p>
  <p><b>音量</b>：拖动滑块；点击“音量”二字可静音。</p>
  <p><b>后台收听</b>：双击托盘图标隐藏窗口，音乐不停。</p>
  <p><b>更新升级</b>：右键托盘图标，选择“更新升级”。</p>
</div>
</section>
</main>
<footer>索沃电台 · 本地演示服务 · 所有音乐由服务实时合成</footer>
</div>
<script>
const audio = document.getElementById('player');
const channels = [...document.querySelectorAll('.channel')];
const $ = id => document.getElementById(id);
let current = 0;
let song = 0;  // of the current channel's songs, counted since it was tuned in
let heard = 0; // the position the song count last looked at
let listened = 0;

for (let i = 0; i < 24; ++i) {
  const bar = document.createElement('i');
  bar.style.animationDelay = (-(i * 0.37) % 0.9).toFixed(2) + 's';
  bar.style.animationDuration = (0.6 + (i * 7 % 5) * 0.12).toFixed(2) + 's';
  document.querySelector('.bars').append(bar);
}

function show(index) {
  current = index;
  song = 0;
  heard = 0;
  channels.forEach((item, i) => item.classList.toggle('on', i === index));
  const item = channels[index];
  $('channel-name').textContent = item.dataset.name;
  $('description').textContent = item.dataset.description;
  announce();
}

// The song on air, on the page and on the desktop's media controls and media keys: its title
// and its channel.
function announce() {
  const item = channels[current];
  const songs = item.dataset.songs.split('|');
  const title = songs[song % songs.length];
  $('programme').textContent = title;
  item.querySelector('small').textContent = title;
  if ('mediaSession' in navigator) {
    navigator.mediaSession.metadata = new MediaMetadata({
      title,
      artist: item.dataset.name,
      album: '索沃电台',
      artwork: [{src: item.dataset.artwork, sizes: '256x256', type: 'image/svg+xml'}],
    });
  }
}

// Each play of the channel's loop is the next song: the position passes the loop's length,
// or goes back to its start when the element loops or fetches the stream anew.
audio.addEventListener('timeupdate', () => {
  const length = Number(channels[current].dataset.songSeconds);
  const now = audio.currentTime;
  if (now < heard - 1 || Math.floor(now / length) > Math.floor(heard / length)) {
    ++song;
    announce();
  }
  heard = now;
});

function play() {
  audio.play().catch(() => { $('status').textContent = '点击 ▶ 开始收听'; });
}

function tune(index) {
  show((index + channels.length) % channels.length);
  audio.src = channels[current].dataset.src;
  play();
}

channels.forEach((item, i) => item.addEventListener('click', () => tune(i)));
$('previous').onclick = () => tune(current - 1);
$('next').onclick = () => tune(current + 1);
$('toggle').onclick = () => audio.paused ? play() : audio.pause();
$('volume').oninput = e => { audio.volume = e.target.value / 100; audio.muted = false; };
$('speaker').onclick = e => { e.preventDefault(); audio.muted = !audio.muted; };
if ('mediaSession' in navigator) {
  navigator.mediaSession.setActionHandler('play', play);
  navigator.mediaSession.setActionHandler('pause', () => audio.pause());
  navigator.mediaSession.setActionHandler('previoustrack', () => tune(current - 1));
  navigator.mediaSession.setActionHandler('nexttrack', () => tune(current + 1));
}

audio.volume = 0.8;
audio.addEventListener('playing', () => {
  document.body.classList.add('playing');
  $('toggle').textContent = '‖';
  $('status').textContent = '正在播放 · 立体声';
});
audio.addEventListener('pause', () => {
  document.body.classList.remove('playing');
  $('toggle').textContent = '▶';
  $('status').textContent = '已暂停';
});
audio.addEventListener('waiting', () => { $('status').textContent = '缓冲中…'; });
audio.addEventListener('error', () => {
  document.body.classList.remove('playing');
  $('status').textContent = '连接中断，请稍后重试';
});
audio.addEventListener('volumechange', () => {
  $('speaker').textContent = audio.muted || audio.volume === 0 ? '静音' : '音量';
  $('volume').value = Math.round(audio.volume * 100);
});

setInterval(() => {
  if (audio.paused) return;
  ++listened;
  const two = n => String(n).padStart(2, '0');
  $('listened').textContent = two(Math.floor(listened / 60)) + ':' + two(listened % 60);
}, 1000);

show(0);
play();
</script>
)html";

} // namespace

std::string radioPage(const std::vector<Channel>& channels, DiscMotion disc, StreamKind streams) {
    std::string body(top);
    for (const Channel& channel : channels) {
        std::string songs;
        for (const std::string& song : channel.songs)
            songs += (songs.empty() ? "" : "|") + song;
        body += "<div class=\"channel\" data-src=\"" + escapeHtml(streamPath(channel)) +
                "\" data-name=\"" + escapeHtml(channel.name) + "\" data-songs=\"" +
                escapeHtml(songs) + "\" data-song-seconds=\"" +
                std::to_string(loopSeconds(channel.style)) + "\" data-description=\"" +
                escapeHtml(channel.description) + "\" data-artwork=\"" +
                escapeHtml(artworkPath(channel)) + "\"><span>" + escapeHtml(channel.name) +
                "</span><small>" + escapeHtml(channel.songs.front()) + "</small></div>\n";
    }
    // A live stream has no end to loop back from; a player that loops it would take it for a
    // recording.
    body += "<audio id=\"player\" src=\"" + escapeHtml(streamPath(channels.front())) +
            "\" autoplay" + (streams == StreamKind::Looped ? " loop" : "") +
            " preload=\"auto\"></audio>\n";
    body += bottom;
    std::string styleSheet(style);
    if (disc == DiscMotion::Turning)
        styleSheet += ".playing .disc { animation-play-state: running; }\n";
    return htmlDocument("索沃电台", styleSheet, body);
}

} // namespace sorvo::demo
