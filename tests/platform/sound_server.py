"""sound_server.py CORVEXA TOOL: the program on Xvfb plays into a private PulseAudio server whose only sink
goes for 1.5 s; the song must go on where it was heard last (within a refill), the picture keep moving."""
import array, atexit, os, re, shutil, subprocess as sp, sys, tempfile, time, wave
corvexa, tool, d = sys.argv[1], sys.argv[2], tempfile.mkdtemp(); atexit.register(shutil.rmtree, d, True)
procs, (r, w), env = [], os.pipe(), dict(os.environ, XDG_RUNTIME_DIR=d, HOME=d, SDL_AUDIODRIVER="pulseaudio", CORVEXA_TRACE="1")
sink = "load-module module-null-sink sink_name=spk format=s16le rate=44100 channels=1"
sh = lambda command: sp.run(command, shell=True, env=env, capture_output=True, text=True).stdout
start = lambda command, **kw: procs.insert(0, sp.Popen(command, shell=True, env=env, **kw)) or procs[0]
record = lambda name: start(f"exec parec -d spk.monitor --raw --format=s16le --channels=1 >{d}/{name} 2>/dev/null")
def wait_for(text, command, tries=50):  # tenths of a second, and the time command takes
    while tries > 0 and text not in sh(command): tries, _ = tries - 1, time.sleep(0.1)
    assert tries > 0, f'no "{text}" from {command}'
sp.run([tool, "stream", "--samples", "882000", "--out", f"{d}/song.wav"], check=True, stdout=sp.DEVNULL)
open(f"{d}/pa", "w").write(f"load-module module-native-protocol-unix\nload-module module-cli-protocol-unix\n{sink}\n")
start(f"exec pulseaudio -n --daemonize=no --exit-idle-time=-1 -F {d}/pa --log-target=file:{d}/log")
start(f"exec Xvfb -displayfd {w} -screen 0 640x360x24 -nolisten tcp 2>/dev/null", pass_fds=[w])
try:
    env["DISPLAY"] = ":" + os.read(r, 16).decode().strip()
    wait_for("Default Sink: spk", "pactl info")
    before = record("before.raw"); wait_for("parec", "pactl list source-outputs")
    demo = start(f"exec {corvexa} >{d}/trace"); launch = time.monotonic()
    wait_for("frame", f"cat {d}/trace", 300)  # start-up renders the song first
    time.sleep(2.5); sh("pactl unload-module module-null-sink"); gone = time.monotonic() - launch
    # Back suspended, and recorded before the program can play into it: the CLI runs both at once.
    before.wait(3); time.sleep(1.5); sh(f"printf '{sink}\\nsuspend-sink spk 1\\n' | pacmd"); after = record("after.raw")
    wait_for("parec", "pactl list source-outputs"); wait_for("corvexa", "pactl list sink-inputs")
    sh("pactl suspend-sink spk 0"); time.sleep(2)
finally:
    [(p.terminate(), p.wait(5)) for p in procs]  # the last started first
ms = [int(line.split()[5]) for line in open(f"{d}/trace") if line.startswith("frame")]
apart = [b - a for a, b in zip(ms, ms[1:]) if b > gone * 1000]
song, heard, resumed = wave.open(f"{d}/song.wav").readframes(882000), *(array.array("h", open(f"{d}/{name}.raw", "rb").read()) for name in ("before", "after"))
places = lambda piece: [m.start() // 2 - 4096 for m in re.finditer(re.escape(piece.tobytes()), song) if m.start() % 2 == 0]
while heard and heard[-1] == 0: heard.pop()
first = next(i for i, x in enumerate(resumed) if x)
reached, goes_on = [p + 512 for p in places(heard[-512:])], places(resumed[first:first + 512])
print(f"heard up to {reached}, went on at {goes_on}; {len(apart)} frames, up to {max(apart)} ms apart")
assert len(apart) > 20 and max(apart) < 750 and len(reached) == len(goes_on) == 1 and reached[0] > 8192 and abs(goes_on[0] - reached[0]) <= 2048
