"""Makes the scenario's sounds with sox and oggenc: a 2 s 440 Hz tone and a
0.5 s stereo tone."""
import os
import subprocess
import sys

folder = os.path.join(sys.argv[1], "pellora")
for name, seconds, channels in (("tone", "2", "1"), ("beep", "0.5", "2")):
    wav = os.path.join(folder, name + ".wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-b", "16", "-c", channels, wav, "synth",
                    seconds, "sine", "440"], check=True)
    subprocess.run(["oggenc", "-Q", wav, "-o", os.path.join(folder, name + ".ogg")], check=True)
    os.remove(wav)
