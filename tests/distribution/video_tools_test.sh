#!/bin/bash
# The video tools in batch mode on a video the test makes.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1
tt_sample_video "$TT_DIR/片段.mp4"
echo "not a video" >"$TT_DIR/notes.mp4"

tt_tool video_compress
tt_case "video_compress makes a smaller video that ffprobe reads"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-压缩.mp4"
tt_expect_success
tt_expect "output smaller than input" test "$(stat -c %s 片段-压缩.mp4)" -lt "$(stat -c %s 片段.mp4)"
tt_expect "ffprobe reads an h264 stream" sh -c "ffprobe -v error -select_streams v:0 -show_entries stream=codec_name -of csv=p=0 片段-压缩.mp4 | grep -qx h264"
tt_expect "no temporary file left" sh -c "! ls -a | grep -q qbtool-part"
tt_case "video_compress never replaces an existing output"
tt_expect_no_overwrite "$TT_DIR/片段-压缩.mp4" "$TT_DIR/片段.mp4"
tt_case "video_compress refuses a file that is no video"
tt_batch "$TT_DIR/notes.mp4" "$TT_DIR/notes-压缩.mp4"
tt_expect_failure "不是可以读取的视频文件" "$TT_DIR/notes-压缩.mp4"
tt_case "video_compress refuses an unknown quality"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/q.mp4" 超高
tt_expect_failure "画质只能是" "$TT_DIR/q.mp4"

# --- samples and checks the tools below share ---------------------------------------------------

# A 3-second 320x240 video without sound.
ffmpeg -nostdin -v error -f lavfi -i testsrc2=duration=3:size=320x240:rate=30 -c:v libx264 -pix_fmt yuv420p \
  "$TT_DIR/无声.mp4"

# FILE's duration (or its STREAM's: v or a) is SECONDS, within a tenth of a second.
tt_duration_is() {
  local file=$1 seconds=$2 stream=${3:-} got
  if [ -n "$stream" ]; then
    got=$(ffprobe -v error -select_streams "$stream:0" -show_entries stream=duration -of csv=p=0 "$file")
  else
    got=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
  fi
  awk -v g="$got" -v s="$seconds" 'BEGIN { exit !(g != "" && g - s < 0.1 && s - g < 0.1) }'
}

# The codec names of FILE's streams, one "type=codec" a line.
tt_streams() { ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 "$1" | awk -F, '{ print $2 "=" $1 }'; }

# The mean brightness (0..1) of a rectangle WxH+X+Y in the frame of VIDEO at second T.
tt_region_mean() {
  ffmpeg -nostdin -v error -ss "$2" -i "$1" -frames:v 1 -y "$TT_DIR/frame.png" &&
    convert "$TT_DIR/frame.png" -crop "$3" +repage -format '%[fx:mean]' info:
}

# How many pixels of the rectangle differ between the frames of two videos at second T.
tt_region_difference() {
  ffmpeg -nostdin -v error -ss "$3" -i "$1" -frames:v 1 -y "$TT_DIR/a.png" &&
    ffmpeg -nostdin -v error -ss "$3" -i "$2" -frames:v 1 -y "$TT_DIR/b.png" &&
    convert "$TT_DIR/a.png" -crop "$4" +repage "$TT_DIR/a.png" && convert "$TT_DIR/b.png" -crop "$4" +repage "$TT_DIR/b.png" &&
    compare -metric AE -fuzz 10% "$TT_DIR/a.png" "$TT_DIR/b.png" null: 2>&1
}

# A < B, both numbers (an empty measure fails).
tt_less() { awk -v a="$1" -v b="$2" 'BEGIN { n = "^[0-9.e+-]+$"; exit !(a ~ n && b ~ n && a + 0 < b + 0) }'; }

tt_tool video_convert
tt_case "video_convert makes a VP9/Opus WebM of the whole video"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-转换.webm" webm
tt_expect_success
tt_expect "vp9 and opus streams" sh -c "tt() { ffprobe -v error -show_entries stream=codec_name -of csv=p=0 片段-转换.webm | sort | tr '\n' ' '; }; [ \"\$(tt)\" = 'opus vp9 ' ]"
tt_expect "same duration as the input" tt_duration_is 片段-转换.webm 4
tt_case "video_convert takes the format from OUTPUT's extension"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段.avi"
tt_expect_success
tt_expect "an AVI file" sh -c "ffprobe -v error -show_entries format=format_name -of csv=p=0 片段.avi | grep -qx avi"
tt_case "video_convert refuses MP3 from a video without sound"
tt_batch "$TT_DIR/无声.mp4" "$TT_DIR/无声.mp3"
tt_expect_failure "没有声音" "$TT_DIR/无声.mp3"

tt_tool video_cut
# Red for one second, then blue, with a single key frame: a cut at 1s that only copied from the
# previous key frame would start red.
ffmpeg -nostdin -v error -f lavfi -i "color=c=red:s=320x240:r=25:d=1[r];color=c=blue:s=320x240:r=25:d=3[b];[r][b]concat" \
  -c:v libx264 -g 1000 -pix_fmt yuv420p "$TT_DIR/红蓝.mp4"
tt_case "video_cut keeps exactly the part between start and end"
tt_batch "$TT_DIR/红蓝.mp4" "$TT_DIR/红蓝-剪辑.mp4" 1 00:00:03
tt_expect_success
tt_expect "two seconds long" tt_duration_is 红蓝-剪辑.mp4 2
tt_expect "first frame is blue, not red" sh -c "ffmpeg -v error -i 红蓝-剪辑.mp4 -frames:v 1 -y first.png &&
  [ \"\$(convert first.png -format '%[fx:mean.b>0.5 && mean.r<0.2]' info:)\" = 1 ]"
tt_case "video_cut refuses an end before the start"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/反.mp4" 3 2
tt_expect_failure "结束时间必须晚于开始时间" "$TT_DIR/反.mp4"

tt_tool video_merge
mkdir "$TT_DIR/合并"
cp 片段.mp4 合并/1.mp4
cp 无声.mp4 合并/2.mp4
ffmpeg -nostdin -v error -f lavfi -i testsrc=duration=2:size=480x480:rate=30 -f lavfi -i sine=frequency=880:duration=2 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -ac 1 -shortest "$TT_DIR/合并/3.mkv"
tt_case "video_merge joins videos of different sizes, with and without sound"
tt_batch "$TT_DIR/合并" "$TT_DIR/合并.mp4"
tt_expect_success
tt_expect "the sum of the durations" tt_duration_is 合并.mp4 9
tt_expect "sound all along" tt_duration_is 合并.mp4 9 a
tt_expect "the first video's size" sh -c "ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 合并.mp4 | grep -qx 640x360"

tt_tool video_unwatermark
# A white "logo" inside the default top-right box of a blue-grey video.
ffmpeg -nostdin -v error -f lavfi -i color=c=0x336699:s=640x360:r=25:d=3 -vf "drawbox=x=540:y=20:w=60:h=24:color=white:t=fill" \
  -c:v libx264 -pix_fmt yuv420p "$TT_DIR/台标.mp4"
tt_case "video_unwatermark removes a logo in the top-right corner by default"
tt_batch "$TT_DIR/台标.mp4" "$TT_DIR/台标-去水印.mp4"
tt_expect_success
tt_expect "the logo was white" tt_less 0.9 "$(tt_region_mean 台标.mp4 1 60x24+540+20)"
tt_expect "the logo is gone" tt_less "$(tt_region_mean 台标-去水印.mp4 1 60x24+540+20)" 0.6
tt_expect "the rest is untouched" tt_less "$(tt_region_difference 台标.mp4 台标-去水印.mp4 1 400x300+0+40)" 100
tt_case "video_unwatermark refuses a box outside the picture"
tt_batch "$TT_DIR/台标.mp4" "$TT_DIR/外.mp4" 900 0 100 50
tt_expect_failure "不在画面" "$TT_DIR/外.mp4"

tt_tool video_to_gif
tt_case "video_to_gif makes an animated GIF of the chosen width and frame rate"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-动图.gif" 320 5
tt_expect_success
tt_expect "a GIF 320 pixels wide" sh -c "[ \"\$(identify -format '%m %W\n' 片段-动图.gif | head -n 1)\" = 'GIF 320' ]"
tt_expect "5 frames a second for 4 seconds" sh -c "[ \"\$(identify -format '%W\n' 片段-动图.gif | wc -l)\" = 20 ]"

tt_tool video_extract_audio
tt_case "video_extract_audio saves the sound as mp3"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-音频.mp3"
tt_expect_success
tt_expect "one mp3 stream and nothing else" sh -c "[ \"\$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 片段-音频.mp3)\" = mp3 ]"
tt_expect "the video's duration" tt_duration_is 片段-音频.mp3 4
tt_case "video_extract_audio writes m4a when asked"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-音频.m4a" m4a
tt_expect_success
tt_expect "an aac stream only" sh -c "[ \"\$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 片段-音频.m4a)\" = aac ]"
tt_case "video_extract_audio refuses a video without sound"
tt_batch "$TT_DIR/无声.mp4" "$TT_DIR/无声-音频.mp3"
tt_expect_failure "没有声音" "$TT_DIR/无声-音频.mp3"

tt_tool screen_recorder
tt_case "screen_recorder records the screen for the given seconds"
# A private X server; -displayfd tells which display number it took.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$TT_DIR/display" >/dev/null 2>&1 &
tt_xvfb=$!
for _ in $(seq 50); do [ -s "$TT_DIR/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n 1 "$TT_DIR/display") tt_batch 2 "$TT_DIR/录屏.mp4"
kill "$tt_xvfb" 2>/dev/null
tt_expect_success
tt_expect "two seconds long" tt_duration_is 录屏.mp4 2
tt_expect "the screen's size" sh -c "ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 录屏.mp4 | grep -qx 800x600"
tt_case "screen_recorder says it needs a display"
DISPLAY="" tt_batch 2 "$TT_DIR/无屏.mp4"
tt_expect_failure "DISPLAY" "$TT_DIR/无屏.mp4"

tt_tool video_subtitle
printf '1\n00:00:00,000 --> 00:00:01,500\n欢迎参加季度总结会议\n' >"$TT_DIR/字幕.srt"
tt_case "video_subtitle burns the subtitle in while it is due, and only then"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-字幕.mp4" "$TT_DIR/字幕.srt"
tt_expect_success
tt_expect "text at the bottom at 0.5s" tt_less 300 "$(tt_region_difference 片段.mp4 片段-字幕.mp4 0.5 640x60+0+300)"
tt_expect "no text at 3s" tt_less "$(tt_region_difference 片段.mp4 片段-字幕.mp4 3 640x60+0+300)" 100
tt_case "video_subtitle reads a GB18030 subtitle file"
iconv -f UTF-8 -t GB18030 "$TT_DIR/字幕.srt" >"$TT_DIR/字幕gbk.srt"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-gbk.mp4" "$TT_DIR/字幕gbk.srt"
tt_expect_success
tt_expect "same picture as from the UTF-8 file" tt_less "$(tt_region_difference 片段-字幕.mp4 片段-gbk.mp4 0.5 640x60+0+300)" 50
tt_case "video_subtitle needs the subtitle file in batch mode"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/无字幕.mp4"
tt_expect_failure "字幕文件" "$TT_DIR/无字幕.mp4"

tt_tool video_speed
tt_case "video_speed at 2x halves the duration"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-2倍速.mp4"
tt_expect_success
tt_expect "two seconds of pictures" tt_duration_is 片段-2倍速.mp4 2 v
tt_expect "two seconds of sound" tt_duration_is 片段-2倍速.mp4 2 a
tt_case "video_speed at 0.5x doubles it"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/片段-慢.mp4" 0.5
tt_expect_success
tt_expect "eight seconds of sound" tt_duration_is 片段-慢.mp4 8 a
tt_case "video_speed refuses a factor above 4"
tt_batch "$TT_DIR/片段.mp4" "$TT_DIR/快.mp4" 5
tt_expect_failure "倍速应为" "$TT_DIR/快.mp4"

tt_finish
