// The page's script: the playhead follows the sound's own clock on every
// frame, so picture and sound cannot drift apart.
namespace page {

extern const char* const script;
const char* const script = R"js(
(function () {
  "use strict";
  var facts = JSON.parse(document.getElementById("facts").textContent);
  var audio = document.getElementById("sound");
  var svg = document.querySelector("#roll svg");
  var head = document.getElementById("playhead");
  var bar = document.getElementById("bar");
  var button = document.getElementById("play");
  var shown = {};
  ["clock", "swell", "great", "shades", "action"].forEach(function (id) {
    shown[id] = document.getElementById(id);
  });

  // The sound sits in the page as text; a Blob plays it without a network.
  var text = atob(document.getElementById("ogg").textContent);
  var bytes = new Uint8Array(text.length);
  for (var i = 0; i < text.length; i++) {
    bytes[i] = text.charCodeAt(i);
  }
  audio.src = URL.createObjectURL(new Blob([bytes], { type: "audio/ogg; codecs=opus" }));

  function total() {
    return isFinite(audio.duration) ? audio.duration : facts.seconds;
  }
  function clock(s) {
    s = Math.max(0, Math.floor(s));
    var m = Math.floor(s / 60), r = s % 60;
    return (m < 10 ? "0" : "") + m + ":" + (r < 10 ? "0" : "") + r;
  }
  function inforce(list, t) {
    var k = 0;
    for (var j = 0; j < list.length && list[j].t <= t; j++) {
      k = j;
    }
    return list[k];
  }
  function put(id, words) {
    if (shown[id].textContent !== words) {
      shown[id].textContent = words;
    }
  }
  // Page pixels per picture pixel: the picture shrinks on a narrow screen.
  function scale() {
    return svg.getBoundingClientRect().width / facts.width;
  }

  var lastrow = -1;
  function keepinview(row) {
    var top = svg.getBoundingClientRect().top + (facts.header + row * facts.rowheight) * scale();
    var barbottom = bar.getBoundingClientRect().bottom;
    var bottom = top + facts.rowheight * scale();
    if (top < barbottom || bottom > window.innerHeight) {
      window.scrollBy(0, top - barbottom);
    }
  }
  function frame() {
    var t = audio.currentTime;
    var row = Math.max(0, Math.min(Math.floor(t / facts.rowseconds), facts.rows - 1));
    var x = facts.left + (t - row * facts.rowseconds) * facts.pixelspersecond;
    head.setAttribute("transform",
                      "translate(" + x + " " + (facts.header + row * facts.rowheight) + ")");
    var now = inforce(facts.changes, t);
    put("clock", clock(t) + " / " + clock(total()));
    put("swell", now.swell);
    put("great", now.great);
    put("action", now.label);
    put("shades", String(inforce(facts.shades, t).level));
    button.textContent = audio.paused ? "Play" : "Pause";
    if (!audio.paused && row !== lastrow) {
      keepinview(row);
    }
    lastrow = audio.paused ? -1 : row;
    window.requestAnimationFrame(frame);
  }

  function toggle() {
    if (audio.paused) {
      audio.play();
    } else {
      audio.pause();
    }
  }
  button.addEventListener("click", function () {
    toggle();
    button.blur();
  });
  document.addEventListener("keydown", function (e) {
    if (e.key === " " || e.code === "Space") {
      e.preventDefault();
      if (!e.repeat) {
        toggle();
      }
    }
  });
  // A click on a row plays from the time under it; the margin is the row's start.
  svg.addEventListener("click", function (e) {
    var box = svg.getBoundingClientRect();
    var x = (e.clientX - box.left) / scale(), y = (e.clientY - box.top) / scale();
    var row = Math.floor((y - facts.header) / facts.rowheight);
    if (row < 0 || row >= facts.rows) {
      return;
    }
    var within = Math.max(0, Math.min((x - facts.left) / facts.pixelspersecond, facts.rowseconds));
    audio.currentTime = Math.min(row * facts.rowseconds + within, total());
    lastrow = -1;
    audio.play();
  });
  window.requestAnimationFrame(frame);
})();
)js";

} // namespace page
