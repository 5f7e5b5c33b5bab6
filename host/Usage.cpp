#include "Usage.h"

namespace mg::host {

const char* UsageText()
{
    return R"(mg-host: loads a VST 2.4 plug-in library and shows or renders through it.

Usage:
  mg-host info PLUGIN [--verbose]
  mg-host render PLUGIN IN OUT [options]
  mg-host --help | --version

info
  Opens the plug-in (44100 Hz, block 512) and prints one "key: value" line
  per item, then one line per parameter and per program:
    file: PATH
    name: NAME                  (effGetEffectName)
    vendor: TEXT
    product: TEXT
    unique id: NUMBER 'ABCD'    (four characters, '.' for unprintable bytes)
    version: NUMBER
    vendor version: NUMBER
    vst version: NUMBER
    category: NUMBER
    flags: 0xHEX NAME...        (HasEditor CanMono CanReplacing ProgramChunks
                                 IsSynth NoSoundInStop CanDoubleReplacing,
                                 other bits as 0xHEX)
    inputs: N
    outputs: N
    initial delay: N
    parameters: N
      [i] Name = display label  (label omitted when empty)
    programs: N
      [i] Name
    editor: no | yes WIDTHxHEIGHT | yes, size unknown
  The editor size is only asked for when there is a display (DISPLAY set):
  many plug-ins build their editor to answer, and some crash without one.
  Texts from the plug-in have control characters replaced by '?'.

render
  Reads IN (WAV, FLAC, AIFF and other formats libsndfile reads) and plays it
  through the plug-in at the file's sample rate; writes OUT with as many
  channels as the plug-in has outputs and as many frames as IN has, plus the
  tail. OUT's format follows its extension: .wav (32-bit float by default, so
  levels above full scale survive), .aiff/.aif (float by default), .flac
  (24-bit by default). Integer formats clip at full scale.

  File channels go to the plug-in's inputs in order, counted from 0. A mono
  file into a two-input plug-in: channel 0 gets the signal, channel 1
  silence. File channels beyond the plug-in's inputs are ignored. The
  plug-in's latency is not compensated.

  --block N              frames per process call, 1..65536 (default 512)
  --callback KIND        replacing (default), double (needs
                         effFlagsCanDoubleReplacing) or accumulating (the
                         legacy process call; outputs are zeroed before
                         each call)
  --param NAME=VALUE     set a parameter to VALUE, normalised 0..1, before
                         rendering; NAME is the exact parameter name or its
                         index; repeatable, applied in order after --program
  --program N            select program N (from 0) before the parameters
  --preset-in FILE       load an .fxp program or .fxb bank file after
                         --program, before --param; a file for another
                         plug-in is refused
  --preset-out FILE      save the current program (.fxp) or the whole bank
                         (.fxb) after rendering
  --state-in FILE        load FILE as the plug-in's bank chunk (effSetChunk)
                         before --program and --param
  --state-out FILE       save the bank chunk (effGetChunk) after rendering
  --tail SECONDS         render this much silence after the input (default 0)
  --format F             pcm16, pcm24 or float for OUT
  --quiet, -q            no progress or notes on stderr, errors only
  --verbose, -v          also show the setup and the plug-in's host requests

  Progress goes to stderr for 20 seconds of audio or more: a running
  percentage on a terminal, else a line every 10%.

Host side: entry (VSTPluginMain, else main), magic check, effOpen,
effSetSampleRate, effSetBlockSize, effSetProcessPrecision, chunk, program,
preset file, parameters, effMainsChanged 1, effStartProcess, process calls,
effStopProcess, effMainsChanged 0, effClose.

Exit status: 0 on success, 1 on an error, 2 for a bad command line. Errors
are one line on stderr starting with "mg-host: error: ".
)";
}

} // namespace mg::host
