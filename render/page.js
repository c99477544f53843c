// The roll's page: the playhead, the lit holes and the console follow the
// sound's own clock on every frame, so picture and sound cannot drift apart.
// Times in the facts are seconds of paper; the sound's clock is seconds
// played, which the take-up spool's law turns into paper.
(function () {
  "use strict";
  var facts = JSON.parse(document.getElementById("facts").textContent);
  var audio = document.getElementById("sound");
  var svg = document.querySelector("#roll svg");
  var head = document.getElementById("playhead");
  var lit = document.getElementById("lit");
  var bar = document.getElementById("bar");
  var button = document.getElementById("play");
  var seek = document.getElementById("seek");
  var tempo = document.getElementById("tempo");
  var el = {};
  ["clock", "action", "shades", "shadesvalue", "announce", "linkstatus", "tempovalue",
   "swelltabs", "greattabs"].forEach(function (id) {
    el[id] = document.getElementById(id);
  });
  var svgns = "http://www.w3.org/2000/svg";

  // The sound sits in the page as text; a Blob plays it without a network.
  var text = atob(document.getElementById("ogg").textContent);
  var bytes = new Uint8Array(text.length);
  for (var i = 0; i < text.length; i++) {
    bytes[i] = text.charCodeAt(i);
  }
  audio.src = URL.createObjectURL(new Blob([bytes], { type: "audio/ogg; codecs=opus" }));

  // The spool's law: t seconds played reach the paper at t + rate t^2 / 4.
  function paper(t) {
    return Math.max(0, Math.min(t * (1 + facts.rate * t / 4), facts.seconds));
  }
  function clock(s) {
    s = Math.max(0, Math.floor(s));
    var m = Math.floor(s / 60), r = s % 60;
    return (m < 10 ? "0" : "") + m + ":" + (r < 10 ? "0" : "") + r;
  }
  // A moment as a link writes it: m:ss.s.
  function moment(t) {
    var tenths = Math.round(t * 10), m = Math.floor(tenths / 600), s = (tenths % 600) / 10;
    return m + ":" + (s < 10 ? "0" : "") + s.toFixed(1);
  }
  function inforce(list, s) {
    var k = 0;
    for (var j = 0; j < list.length && list[j].t <= s; j++) {
      k = j;
    }
    return k;
  }
  function put(node, words) {
    if (node.textContent !== words) {
      node.textContent = words;
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

  // The tabs of a division lit as a change draws them.
  function settabs(list, drawn) {
    var tabs = list.children;
    for (var k = 0; k < tabs.length; k++) {
      var on = drawn.indexOf(k) >= 0;
      tabs[k].classList.toggle("on", on);
      tabs[k].setAttribute("aria-label", tabs[k].textContent + (on ? ", drawn" : ", off"));
    }
  }
  var shownchange = -1, announced = -1;
  function showconsole(s) {
    var k = inforce(facts.changes, s), now = facts.changes[k];
    if (k !== shownchange) {
      settabs(el.swelltabs, now.sw);
      settabs(el.greattabs, now.gt);
      put(el.action, now.label);
      shownchange = k;
    }
    var level = facts.shades[inforce(facts.shades, s)].level;
    if (el.shades.value !== level) {
      el.shades.value = level;
    }
    put(el.shadesvalue, String(level));
    return k;
  }
  function announce(k) {
    if (k !== announced) {
      var now = facts.changes[k];
      put(el.announce, "Swell: " + now.swell + ". Great: " + now.great + ".");
      announced = k;
    }
  }

  // The holes open at the playhead, lit across it.
  var litkey = "";
  function lightholes(s) {
    var open = [];
    facts.holes.forEach(function (h) {
      if (h[1] <= s && s < h[2]) {
        open.push(h[0]);
      }
    });
    var key = open.join(",");
    if (key === litkey) {
      return;
    }
    litkey = key;
    while (lit.firstChild) {
      lit.removeChild(lit.firstChild);
    }
    open.forEach(function (hole) {
      var r = document.createElementNS(svgns, "rect");
      // Centred on the hole's bar (holepitch - 1 high), wider and taller.
      var middle = facts.holestop + (127 - hole) * facts.holepitch + (facts.holepitch - 1) / 2;
      r.setAttribute("x", "-8");
      r.setAttribute("y", String(middle - 2.5));
      r.setAttribute("width", "16");
      r.setAttribute("height", "5");
      r.setAttribute("rx", "1.5");
      r.setAttribute("data-hole", String(hole));
      lit.appendChild(r);
    });
  }

  function frame() {
    var t = audio.currentTime, s = paper(t);
    var row = Math.max(0, Math.min(Math.floor(s / facts.rowseconds), facts.rows - 1));
    var x = facts.left + (s - row * facts.rowseconds) * facts.pixelspersecond;
    head.setAttribute("transform",
                      "translate(" + x + " " + (facts.header + row * facts.rowheight) + ")");
    lightholes(s);
    announce(showconsole(s));
    put(el.clock, clock(Math.min(t, facts.played)) + " / " + clock(facts.played));
    if (document.activeElement !== seek) {
      seek.value = String(Math.min(t, facts.played));
    }
    seek.setAttribute("aria-valuetext", clock(Math.min(t, facts.played)));
    put(button, audio.paused ? "Play" : "Pause");
    if (!audio.paused && row !== lastrow) {
      keepinview(row);
    }
    lastrow = audio.paused ? -1 : row;
    window.requestAnimationFrame(frame);
  }

  // A play that a pause cuts short is no error.
  function play() {
    var started = audio.play();
    if (started && started.catch) {
      started.catch(function () {});
    }
  }
  function toggle() {
    if (audio.paused) {
      play();
    } else {
      audio.pause();
    }
  }
  function jump(t) {
    audio.currentTime = Math.max(0, Math.min(t, facts.played));
    lastrow = -1;
  }
  // The tempo, 50 to 200 % of the roll's, with the pitch kept.
  function settempo(percent) {
    percent = Math.max(50, Math.min(200, Math.round(percent / 10) * 10));
    tempo.value = String(percent);
    audio.preservesPitch = true;
    audio.mozPreservesPitch = true;
    audio.webkitPreservesPitch = true;
    audio.defaultPlaybackRate = percent / 100;
    audio.playbackRate = percent / 100;
    put(el.tempovalue, percent + " %");
    tempo.setAttribute("aria-valuetext", percent + " %");
  }

  // #t=73.5 or #t=1:13.5 (or h:mm:ss): that moment, paused.
  function fromlink() {
    var m = /^#t=([0-9:.]+)$/.exec(window.location.hash);
    if (!m) {
      return;
    }
    var t = m[1].split(":").reduce(function (sum, part) {
      return sum * 60 + parseFloat(part);
    }, 0);
    if (isFinite(t)) {
      audio.pause();
      jump(t);
      var s = paper(t), row = Math.min(Math.floor(s / facts.rowseconds), facts.rows - 1);
      keepinview(Math.max(0, row));
      announce(showconsole(s));
    }
  }
  function copylink() {
    var link = window.location.href.replace(/#.*$/, "") + "#t=" + moment(audio.currentTime);
    history.replaceState(null, "", link);
    function said(ok) {
      el.linkstatus.textContent = (ok ? "Link copied: " : "Copy this link: ") + link;
    }
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(link).then(function () { said(true); },
                                               function () { said(false); });
    } else {
      said(false);
    }
  }

  button.addEventListener("click", toggle);
  document.getElementById("slower").addEventListener("click", function () {
    settempo(Number(tempo.value) - 10);
  });
  document.getElementById("faster").addEventListener("click", function () {
    settempo(Number(tempo.value) + 10);
  });
  tempo.addEventListener("input", function () {
    settempo(Number(tempo.value));
  });
  seek.addEventListener("input", function () {
    jump(Number(seek.value));
  });
  document.getElementById("copylink").addEventListener("click", copylink);
  window.addEventListener("hashchange", fromlink);

  // Space plays and pauses, the arrows seek 5 s, Home and End go to the
  // ends, + and - change the tempo; a focused control keeps its own keys.
  document.addEventListener("keydown", function (e) {
    if (e.ctrlKey || e.altKey || e.metaKey) {
      return;
    }
    var tag = e.target && e.target.tagName;
    var own = tag === "BUTTON" ? [" ", "Enter"] :
      tag === "INPUT" ? ["ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", "Home", "End",
                         "PageUp", "PageDown"] : [];
    if (own.indexOf(e.key) >= 0) {
      return;
    }
    var t = audio.currentTime;
    var act = {
      " ": function () { if (!e.repeat) { toggle(); } },
      ArrowLeft: function () { jump(t - 5); },
      ArrowRight: function () { jump(t + 5); },
      Home: function () { jump(0); },
      End: function () { jump(facts.played); },
      "+": function () { settempo(Number(tempo.value) + 10); },
      "=": function () { settempo(Number(tempo.value) + 10); },
      "-": function () { settempo(Number(tempo.value) - 10); },
      "\u2212": function () { settempo(Number(tempo.value) - 10); }
    }[e.key];
    if (act) {
      e.preventDefault();
      act();
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
    var s = Math.min(row * facts.rowseconds + within, facts.seconds);
    // Back from paper to seconds played: the law solved for t.
    jump(facts.rate > 0 ? 2 * s / (1 + Math.sqrt(1 + facts.rate * s)) : s);
    play();
  });

  settempo(100);
  if (audio.readyState >= 1) {
    fromlink();
  } else {
    audio.addEventListener("loadedmetadata", fromlink, { once: true });
  }
  window.requestAnimationFrame(frame);
})();
