#!/bin/bash
# The whole show in real time (about 2 minutes 21 seconds): it ends by itself with
# status 0 and its sound equals tavio-song's render.
TAVIO_REALTIME=1 exec "$(dirname "$0")/song_disk_audio.sh" "$@"
