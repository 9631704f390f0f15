#!/usr/bin/env bash
# Writes a first Profile.ini whose profile 0 opens the virtual test card in RGB32 720 x 480 at
# 29.97 frames per second, so a fresh build shows a picture without any setup.
# Usage: first-profile.sh <path of Profile.ini>
# The file is ASCII with CR LF line ends; every key not written takes its default on loading.
set -euo pipefail
if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 <path of Profile.ini>" >&2
  exit 2
fi
# Video.Format.Index counts only the capabilities the program can use (plain VIDEOINFOHEADER):
# the card lists a VIDEOINFOHEADER2 entry first, so RGB32 720 x 480 is usable entry 7.
{
  printf '[Common]\r\nFileVersion=4\r\n\r\n'
  printf '[Profile]\r\nSelected=0\r\nLastTab=0\r\n\r\n'
  printf '[Profile:00]\r\n'
  printf 'Video.FriendlyName=Lumoka Test Card\r\n'
  printf 'Video.DevicePath=lumoka-testcard-0\r\n'
  printf 'Video.Description=Lumoka virtual capture card (test signal)\r\n'
  printf 'Video.Format.Index=7\r\n'
  printf 'Video.Format.Width=720\r\n'
  printf 'Video.Format.Height=480\r\n'
  printf 'Video.Format.AvgTimePerFrame=333667\r\n'
  printf '\r\n'
} >"$1"
