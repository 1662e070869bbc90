#!/usr/bin/perl
# Reads an NDX index with XBase::Index (Debian's libdbd-xbase-perl), a reader written apart from
# this program, and compares it with the (key, record) entries a test expects: the walk in index
# order must give exactly those entries with keys never falling, and a seek of every distinct
# key (prepare_select_eq) must land on that key. A second, strict seek reads the nodes itself
# and descends by the separators alone, as readers that never step sideways to the next leaf
# do: it finds a key only where every separator is its subtree's largest key.
#
# Usage: ndx_reader.pl INDEX EXPECTED, where EXPECTED holds one "<key as hex> <record>" line per
# entry. Prints "ok <entries> entries, <keys> keys" and exits 0, or prints the first differences
# and exits 1.
use strict;
use warnings;
use XBase::Index;

my ($file, $expected_file) = @ARGV;
my $index = XBase::ndx->new($file) or die "cannot open $file: " . (XBase::Index->errstr // '') . "\n";
my $numeric = $index->{'key_type'} ? 1 : 0;

sub decode {
  my $bytes = pack 'H*', shift;
  return $numeric ? unpack('d', $bytes) : $bytes;
}

sub order {
  my ($a, $b) = @_;
  return $numeric ? ($a <=> $b) : ($a cmp $b);
}

sub by_entry { order($a->[0], $b->[0]) || $a->[1] <=> $b->[1] }

open my $in, '<', $expected_file or die "cannot read $expected_file\n";
my @expected;
while (my $line = <$in>) {
  chomp $line;
  my ($hex, $record) = split / /, $line;
  push @expected, [decode($hex), $record];
}
close $in;

my @problems;
$index->prepare_select;
my @walked;
while (my ($key, $record) = $index->fetch) {
  if (@walked && order($walked[-1][0], $key) > 0) {
    push @problems, "walk falls before record $record";
  }
  push @walked, [$key, $record];
}

my @want = sort by_entry @expected;
my @have = sort by_entry @walked;
push @problems, sprintf("walk gives %d entries, expected %d", scalar @have, scalar @want)
  if @have != @want;
for my $i (0 .. ($#want < $#have ? $#want : $#have)) {
  if (order($want[$i][0], $have[$i][0]) != 0 || $want[$i][1] != $have[$i][1]) {
    push @problems, "entry $i: record $have[$i][1] where record $want[$i][1] was expected";
    last;
  }
}

my %seen;
my @keys = grep { !$seen{$numeric ? $_->[0] : unpack('H*', $_->[0])}++ } @want;
my $missed = 0;
for my $entry (@keys) {
  $index->prepare_select_eq($entry->[0]);
  my ($key) = $index->fetch;
  if (!defined $key || order($key, $entry->[0]) != 0) {
    push @problems, "seek misses the key of record $entry->[1]" if $missed++ < 5;
  }
}
push @problems, "$missed seeks missed" if $missed;

open my $raw, '<:raw', $file or die "cannot read $file\n";
sub node {
  my ($number) = @_;
  my $block = '';
  seek $raw, $number * 512, 0 or return '';
  read $raw, $block, 512;
  return $block;
}
my ($root, $key_length, $entry_size) = unpack 'V x8 v x4 v', node(0);

# The first entry of the node whose key is not below the key: its index, or the count.
sub first_not_below {
  my ($block, $count, $want) = @_;
  for my $i (0 .. $count - 1) {
    my $key = decode(unpack 'H*', substr($block, 12 + $i * $entry_size, $key_length));
    return ($i, $key) if order($key, $want) >= 0;
  }
  return ($count, undef);
}

# Descends from the root by separators alone and looks at the leaf it reaches, nowhere else.
sub strict_seek {
  my ($want) = @_;
  my $number = $root;
  for (1 .. 64) {
    my $block = node($number);
    return 0 if length $block < 512;
    my $count = unpack 'v', $block;
    my ($i, $key) = first_not_below($block, $count, $want);
    my $leaf = $count == 0 || unpack('V', substr($block, 4, 4)) == 0;
    return defined $key && order($key, $want) == 0 if $leaf;
    $number = unpack 'V', substr($block, 4 + $i * $entry_size, 4);
  }
  return 0;
}

my $strict_missed = 0;
for my $entry (@keys) {
  next if strict_seek($entry->[0]);
  push @problems, "strict seek misses the key of record $entry->[1]" if $strict_missed++ < 5;
}
push @problems, "$strict_missed strict seeks missed" if $strict_missed;
close $raw;

if (@problems) {
  print "$_\n" for @problems;
  exit 1;
}
printf "ok %d entries, %d keys\n", scalar @walked, scalar @keys;
