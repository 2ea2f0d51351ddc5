#!/usr/bin/env perl
# Writes a fixed set of fuzz inputs made from a target's seed corpus: each is a
# seed taken through a few random mutations (bit flips, byte values that tend
# to matter, inserted, deleted, repeated and spliced runs). The random numbers
# come from a fixed seed, so the same corpus and count give the same files on
# every machine.
#   fuzz-inputs.pl SEED_DIR OUT_DIR COUNT SEED MAX_LEN
use strict;
use warnings;

my ($seed_dir, $out_dir, $count, $seed, $max_len) = @ARGV;
die "usage: fuzz-inputs.pl SEED_DIR OUT_DIR COUNT SEED MAX_LEN\n" unless defined $max_len;
srand($seed);

my @seeds;
if (-d $seed_dir) {
  opendir(my $dh, $seed_dir) or die "cannot read $seed_dir: $!\n";
  for my $name (sort grep { -f "$seed_dir/$_" } readdir($dh)) {
    open(my $fh, '<:raw', "$seed_dir/$name") or die "cannot read $seed_dir/$name: $!\n";
    local $/;
    push @seeds, scalar(<$fh> // '');
    close($fh);
  }
  closedir($dh);
}
push @seeds, '' unless @seeds;

# Byte values that decide branches in text code: controls, line ends, lead
# and trail bytes, surrogate halves, pattern operators.
my @telling = map { chr } (0, 1, 9, 10, 12, 13, 32, 0x5C, 0x7F, 0x80, 0x81, 0xA1, 0xBF, 0xC0,
  0xD8, 0xDC, 0xE0, 0xEF, 0xF0, 0xFE, 0xFF, ord('.'), ord('*'), ord('+'), ord('?'), ord('['),
  ord(']'), ord('('), ord(')'), ord('^'), ord('$'), ord('<'), ord('>'), ord('a'));

sub random_bytes {
  my ($n) = @_;
  return join '', map { rand() < 0.5 ? $telling[int rand @telling] : chr(int rand 256) } 1 .. $n;
}

sub mutate {
  my ($data) = @_;
  my $len = length $data;
  my $what = int rand 7;
  my $at = $len ? int rand $len : 0;
  if ($what == 0 && $len) {                # flip one bit
    substr($data, $at, 1) = chr(ord(substr($data, $at, 1)) ^ (1 << int rand 8));
  } elsif ($what == 1 && $len) {           # one telling byte
    substr($data, $at, 1) = $telling[int rand @telling];
  } elsif ($what == 2) {                   # insert a few bytes
    substr($data, $at, 0) = random_bytes(1 + int rand 8);
  } elsif ($what == 3 && $len) {           # delete a run
    substr($data, $at, 1 + int rand(16)) = '';
  } elsif ($what == 4 && $len) {           # repeat a run
    my $run = substr($data, $at, 1 + int rand(16));
    substr($data, $at, 0) = $run x (1 + int rand 8);
  } elsif ($what == 5) {                   # splice in a piece of another seed
    my $other = $seeds[int rand @seeds];
    if (length $other) {
      my $from = int rand length $other;
      substr($data, $at, 0) = substr($other, $from, 1 + int rand 64);
    }
  } else {                                 # overwrite with random bytes
    my $n = 1 + int rand 8;
    substr($data, $at, $n <= $len - $at ? $n : $len - $at) = random_bytes($n);
  }
  return $data;
}

mkdir $out_dir unless -d $out_dir;
for my $i (1 .. $count) {
  my $data = $seeds[int rand @seeds];
  $data = mutate($data) for 1 .. 1 + int rand 8;
  $data = substr($data, 0, $max_len) if length($data) > $max_len;
  my $path = sprintf('%s/gen-%06d', $out_dir, $i);
  open(my $fh, '>:raw', $path) or die "cannot write $path: $!\n";
  print $fh $data;
  close($fh);
}
