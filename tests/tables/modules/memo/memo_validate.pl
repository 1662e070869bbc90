#!/usr/bin/perl
# Memo tables through Perl's XBase (libdbd-xbase-perl), an independent reader and writer of the
# engine's memo files.
#
#   memo_validate.pl read TABLE                each record's memo as hex of its bytes, a line each
#   memo_validate.pl write TABLE VERSION HEX   a table of version 3, 0x8B or 0xF5 with ID N(4,0)
#                                              and NOTE M, record i holding the memo on line i of
#                                              the file HEX
use strict;
use warnings;
use XBase;

my ($mode, $path, @rest) = @ARGV;
if ($mode eq 'read') {
    my $table = XBase->new($path) or die XBase->errstr;
    for my $number (0 .. $table->last_record) {
        my (undef, $note) = $table->get_record($number, 'NOTE');
        print unpack('H*', defined $note ? $note : ''), "\n";
    }
    $table->close;
} else {
    my ($version, $hex_file) = @rest;
    open my $lines, '<', $hex_file or die "$hex_file: $!";
    my @memos = map { chomp; pack 'H*', $_ } <$lines>;
    my $table = XBase->create(
        name           => $path,
        field_names    => ['ID', 'NOTE'],
        field_types    => ['N', 'M'],
        field_lengths  => [4, 10],
        field_decimals => [0, 0],
        version        => oct($version)) or die XBase->errstr;
    for my $number (0 .. $#memos) {
        $table->set_record($number, $number + 1, $memos[$number]) or die $table->errstr;
    }
    $table->close;
}
