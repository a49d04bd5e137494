"""Times Pillow's decode of one image file held in memory, as the decode benchmark times the
toolkit's: prints one line per decode, the processor seconds it took, after one untimed decode
that warms the caches. Pillow keeps the memory of a freed picture for the next one, as the
toolkit's decode writes into the caller's array again: neither pays for fresh memory each time.

Usage: pillow_decode.py FILE COUNT
"""
import io
import sys
import time

from PIL import Image


def main() -> None:
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    count = int(sys.argv[2])
    Image.MAX_IMAGE_PIXELS = None
    Image.core.set_blocks_max(64)
    for k in range(count + 1):
        start = time.process_time()
        with Image.open(io.BytesIO(data)) as picture:
            picture.load()
        if k > 0:
            print(f"{time.process_time() - start:.9f}")


if __name__ == "__main__":
    main()
