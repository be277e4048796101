#!/bin/sh
# Regenerates the image fixtures of the platform tests (ImageMagick 6, exiftool, heif-enc).
# The files are checked in; run this only to change them.
set -e
cd "$(dirname "$0")"

# 40 × 20, four coloured quadrants: red top-left, green top-right, blue bottom-left,
# white bottom-right, so every turn and mirror gives a different picture.
convert -size 20x10 xc:'#ff0000' -size 20x10 xc:'#00ff00' +append \
        \( -size 20x10 xc:'#0000ff' -size 20x10 xc:'#ffffff' +append \) -append \
        -quality 95 -sampling-factor 1x1 quadrants.jpg
for n in 1 2 3 4 5 6 7 8; do
    cp quadrants.jpg "orientation-$n.jpg"
    exiftool -q -overwrite_original -Orientation#=$n "orientation-$n.jpg"
done
convert -size 20x10 xc:'#ff0000' -size 20x10 xc:'#00ff00' +append \
        \( -size 20x10 xc:'#0000ff' -size 20x10 xc:'#ffffff' +append \) -append quadrants.png
cp quadrants.png orientation-6.png
exiftool -q -overwrite_original -Orientation#=6 orientation-6.png
rm quadrants.jpg quadrants.png

# Dates and GPS: 33.9° S, 151.2° E.
convert -size 16x12 xc:'#808080' -quality 90 gps-south.jpg
exiftool -q -overwrite_original -DateTimeOriginal='2023:07:14 10:20:30' -ModifyDate='2020:01:02 03:04:05' \
    -GPSLatitude=33.9 -GPSLatitudeRef=S -GPSLongitude=151.2 -GPSLongitudeRef=E gps-south.jpg
# 40° 26' 46" N, 79° 58' 56" W, and only the TIFF date.
convert -size 16x12 xc:'#808080' -quality 90 gps-west-tiffdate.jpg
exiftool -q -overwrite_original -ModifyDate='2019:12:31 23:59:58' \
    -GPSLatitude='40 26 46' -GPSLatitudeRef=N -GPSLongitude='79 58 56' -GPSLongitudeRef=W gps-west-tiffdate.jpg

# HEIC, 64 × 48 (red left half, blue right half), and the same with an Exif orientation of 6,
# which HEIF readers ignore (heif-enc copies the tag but writes no irot box).
convert -size 32x48 xc:'#ff0000' -size 32x48 xc:'#0000ff' +append -quality 95 heic-source.jpg
heif-enc -q 60 -o plain.heic heic-source.jpg
exiftool -q -overwrite_original -Orientation#=6 heic-source.jpg
heif-enc -q 60 -o exif-orientation.heic heic-source.jpg
rm heic-source.jpg

# Damaged input.
head -c 2048 /dev/urandom > garbage.jpg
convert -size 64x64 plasma:fractal big.png && head -c 300 big.png > truncated.png && rm big.png
head -c 180 plain.heic > truncated.heic
: > empty.png
